#include "FreezeWatchdog.h"

#include "DiagLog.h"
#include "platform/Platform.h"

#include <chrono>

namespace vo::diagnostics
{

FreezeWatchdog::FreezeWatchdog (DiagLog& logToUse)
    : log (logToUse)
{
    thread = std::thread ([this] { run(); });
}

FreezeWatchdog::~FreezeWatchdog()
{
    {
        std::lock_guard<std::mutex> lock (stopMutex);
        stopRequested = true;
    }
    stopSignal.notify_all();

    if (thread.joinable())
        thread.join();
}

void FreezeWatchdog::run()
{
    log.log ("watchdog started");

    while (! waitForStop())
        checkOnce();

    log.log ("watchdog stopped");
}

bool FreezeWatchdog::waitForStop()
{
    std::unique_lock<std::mutex> lock (stopMutex);
    return stopSignal.wait_for (lock, std::chrono::milliseconds (kPollIntervalMs), [this] { return stopRequested; });
}

void FreezeWatchdog::checkOnce()
{
    const std::uint64_t now = platform::tickCountMs();
    const std::uint64_t uiBeat = log.lastUiHeartbeat.load (std::memory_order_relaxed);

    if (log.openEditors.load() <= 0 || uiBeat == 0)
        return;
    if (now - uiBeat <= kStallThresholdMs || now - lastReport <= kMinReportSpacingMs)
        return;

    writeReport (now);
}

void FreezeWatchdog::writeReport (std::uint64_t now)
{
    const std::uint64_t uiBeat = log.lastUiHeartbeat.load (std::memory_order_relaxed);
    const std::uint64_t audioBeat = log.lastAudioHeartbeat.load (std::memory_order_relaxed);

    log.log ("!!! FREEZE DETECTED: UI-Thread seit %llu ms ohne Herzschlag (Audio vor %llu ms, Editoren %d)",
             (unsigned long long) (now - uiBeat),
             (unsigned long long) (now - audioBeat),
             log.openEditors.load());

    log.log ("!!! Freeze-Daten geschrieben");
    lastReport = now;
}

} // namespace vo::diagnostics
