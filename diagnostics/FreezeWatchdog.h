#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace vo::diagnostics
{

class DiagLog;

// Background thread that wakes once a second and, while an editor is open,
// records a report in the log when the user-interface heartbeat has stalled.
// It never intervenes; it only records, at most once every 30 seconds.
class FreezeWatchdog
{
public:
    static constexpr int kPollIntervalMs = 1000;
    static constexpr std::uint64_t kStallThresholdMs = 5000;
    static constexpr std::uint64_t kMinReportSpacingMs = 30000;
    static constexpr int kMaxFrames = 40;
    static constexpr size_t kMaxSymbolChars = 255;

    explicit FreezeWatchdog (DiagLog& log);

    // Signals the thread and waits for it to end (within one poll interval).
    ~FreezeWatchdog();

    FreezeWatchdog (const FreezeWatchdog&) = delete;
    FreezeWatchdog& operator= (const FreezeWatchdog&) = delete;

private:
    void run();
    bool waitForStop();
    void checkOnce();
    void writeReport (std::uint64_t now);
    void dumpThreadStack (unsigned long threadId);
    void writeDump();

    DiagLog& log;
    std::mutex stopMutex;
    std::condition_variable stopSignal;
    bool stopRequested = false;
    std::uint64_t lastReport = 0;
    std::thread thread;
};

} // namespace vo::diagnostics
