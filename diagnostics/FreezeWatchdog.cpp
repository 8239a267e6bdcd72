#include "FreezeWatchdog.h"

#include "DiagLog.h"
#include "platform/Platform.h"

#include <chrono>
#include <cstdio>

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

    platform::prepareStackCapture();
    for (const auto threadId : platform::listOtherThreads())
        dumpThreadStack (threadId);

    writeDump();

    log.log ("!!! Freeze-Daten geschrieben");
    lastReport = now;
}

// The whole trace is written under the log mutex so other lines cannot
// interleave with it. The thread is interrupted only while it records its
// return addresses; names are looked up afterwards.
void FreezeWatchdog::dumpThreadStack (unsigned long threadId)
{
    std::uintptr_t frames[kMaxFrames];
    const int count = platform::captureThreadStack (threadId, frames, kMaxFrames);
    if (count <= 0)
        return;

    std::lock_guard<std::mutex> lock (log.getLogMutex());
    char line[DiagLog::kMessageBufferBytes];
    std::snprintf (line, sizeof (line), "--- Stack Thread %lu ---", threadId);
    log.writeLine (line);

    for (int i = 0; i < count && frames[i] != 0; ++i)
    {
        const auto where = platform::describeCodeAddress (frames[i]);
        if (where.symbol.empty())
            std::snprintf (line, sizeof (line), "    %-24s 0x%llx", where.module.c_str(), (unsigned long long) frames[i]);
        else
            std::snprintf (line, sizeof (line), "    %-24s %s +0x%llx", where.module.c_str(),
                           where.symbol.substr (0, kMaxSymbolChars).c_str(), (unsigned long long) where.displacement);
        log.writeLine (line);
    }
}

void FreezeWatchdog::writeDump()
{
    const auto folder = log.getDiagnosticsFolder();
    if (folder.empty())
        return;

    char name[128];
    std::snprintf (name, sizeof (name), "freeze-%s-%lu-%llu.dmp", log.getProductName().c_str(),
                   platform::currentProcessId(), (unsigned long long) platform::tickCountMs());
    std::string path = folder;
    path += platform::pathSeparator();
    path += name;
    if (platform::writeProcessDump (path))
        log.log ("Minidump: %s", path.c_str());
}

} // namespace vo::diagnostics
