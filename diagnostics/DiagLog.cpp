#include "DiagLog.h"

#include "FreezeWatchdog.h"
#include "platform/Platform.h"

#include <cstdarg>

namespace vo::diagnostics
{

namespace
{
    // The longest application-data path the log accepts, as the Windows shell
    // limits it; longer values are treated as unusable.
    constexpr size_t kMaxAppDataPathChars = 260;
}

DiagLog& DiagLog::instance()
{
    static DiagLog* const log = new DiagLog();
    return *log;
}

DiagLog::DiagLog() = default;

DiagLog::~DiagLog()
{
    {
        std::lock_guard<std::mutex> lock (watchdogMutex);
        watchdog.reset();
    }

    std::lock_guard<std::mutex> lock (logMutex);
    if (file != nullptr)
        std::fclose (file);
}

void DiagLog::setup (const std::string& vendor, const std::string& product, const std::string& appDataFolder)
{
    std::lock_guard<std::mutex> lock (logMutex);

    if (! productName.empty())
        return;

    vendorFolder = vendor;
    productName = product;
    openFile (appDataFolder);
}

void DiagLog::openFile (const std::string& appDataFolder)
{
    if (appDataFolder.empty() || appDataFolder.size() >= kMaxAppDataPathChars)
        return;

    const char sep = platform::pathSeparator();
    const std::string vendorPath = appDataFolder + sep + vendorFolder;
    const std::string diagPath = vendorPath + sep + "diag";
    platform::createFolder (appDataFolder); // a fresh Linux home may not have it yet
    platform::createFolder (vendorPath);
    platform::createFolder (diagPath);

    diagnosticsFolder = diagPath;
    logPath = diagPath + sep + productName + "-" + std::to_string (platform::currentProcessId()) + ".log";
    file = platform::openFile (logPath, "a");
    writeLineUnlocked ("=== session start ===");
}

void DiagLog::log (const char* format, ...)
{
    char message[kMessageBufferBytes];
    va_list args;
    va_start (args, format);
    std::vsnprintf (message, sizeof (message), format, args);
    va_end (args);

    std::lock_guard<std::mutex> lock (logMutex);
    writeLineUnlocked (message);
}

void DiagLog::writeLine (const char* text)
{
    writeLineUnlocked (text);
}

void DiagLog::writeLineUnlocked (const char* text)
{
    if (file == nullptr)
        return;

    const auto now = platform::localTime();
    std::fprintf (file, "%02d:%02d:%02d.%03d [t%5lu] %s\n",
                  now.hour, now.minute, now.second, now.millisecond,
                  platform::currentThreadId(), text);
    std::fflush (file);

    // Keep the file bounded: start over empty, without a new session line.
    if (std::ftell (file) > kMaxFileBytes)
    {
        std::fclose (file);
        file = platform::openFile (logPath, "w");
    }
}

bool DiagLog::hasFile() const
{
    std::lock_guard<std::mutex> lock (logMutex);
    return file != nullptr;
}

std::string DiagLog::getLogPath() const
{
    std::lock_guard<std::mutex> lock (logMutex);
    return logPath;
}

std::string DiagLog::getDiagnosticsFolder() const
{
    std::lock_guard<std::mutex> lock (logMutex);
    return diagnosticsFolder;
}

std::string DiagLog::getProductName() const
{
    std::lock_guard<std::mutex> lock (logMutex);
    return productName;
}

std::string DiagLog::getVendorFolder() const
{
    std::lock_guard<std::mutex> lock (logMutex);
    return vendorFolder;
}

void DiagLog::processorCreated()
{
    processors.fetch_add (1);

    std::lock_guard<std::mutex> lock (watchdogMutex);
    if (watchdog == nullptr)
        watchdog = std::make_unique<FreezeWatchdog> (*this);
}

void DiagLog::processorDestroyed()
{
    processors.fetch_sub (1);

    // Re-checked under the lock: an instance created meanwhile keeps it running.
    std::lock_guard<std::mutex> lock (watchdogMutex);
    if (processors.load() <= 0)
        watchdog.reset();
}

bool DiagLog::isWatchdogRunning() const
{
    std::lock_guard<std::mutex> lock (watchdogMutex);
    return watchdog != nullptr;
}

} // namespace vo::diagnostics
