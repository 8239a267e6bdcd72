#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace vo::diagnostics
{

class FreezeWatchdog;

// The process-wide plain-text diagnostic log, shared by every plug-in instance
// in a host process, plus the heartbeats and counters the freeze watchdog reads.
// Every failure is silent: without a usable folder nothing is written.
class DiagLog
{
public:
    static constexpr size_t kMessageBufferBytes = 512;
    static constexpr long kMaxFileBytes = 8L * 1024 * 1024;

    // The one log of this process; created on first use and never destroyed, so
    // that instances torn down during static destruction can still log.
    static DiagLog& instance();

    DiagLog();
    ~DiagLog();

    // First caller wins: sets the vendor folder and product name and opens
    // <appData>/<vendor>/diag/<product>-<pid>.log. Later calls change nothing.
    void setup (const std::string& vendor, const std::string& product, const std::string& appDataFolder);

    // printf-style; one line, cut to 511 characters. Callable from any thread
    // except the audio path.
    void log (const char* format, ...)
#if defined(__GNUC__)
        __attribute__ ((format (printf, 2, 3)))
#endif
        ;

    // Writes one line in the log's format. The caller holds getLogMutex().
    void writeLine (const char* text);

    std::mutex& getLogMutex() noexcept { return logMutex; }

    bool hasFile() const;
    std::string getLogPath() const;
    std::string getDiagnosticsFolder() const;
    std::string getProductName() const;
    std::string getVendorFolder() const;

    // Processor lifetime bookkeeping: the first live processor starts the
    // freeze watchdog, the last one to go stops it.
    void processorCreated();
    void processorDestroyed();
    bool isWatchdogRunning() const;

    // Heartbeats (tick-count milliseconds) and counters, written without the
    // log mutex. Relaxed atomics: a stale value only shifts a report by one poll.
    std::atomic<std::uint64_t> lastUiHeartbeat { 0 };
    std::atomic<std::uint64_t> lastAudioHeartbeat { 0 };
    std::atomic<int> openEditors { 0 };
    std::atomic<int> processors { 0 };

private:
    void openFile (const std::string& appDataFolder);
    void writeLineUnlocked (const char* text);

    mutable std::mutex logMutex;
    std::FILE* file = nullptr;
    std::string productName;
    std::string logPath;
    std::string diagnosticsFolder;
    std::string vendorFolder { "Ra Vored" };

    mutable std::mutex watchdogMutex;
    std::unique_ptr<FreezeWatchdog> watchdog;
};

} // namespace vo::diagnostics
