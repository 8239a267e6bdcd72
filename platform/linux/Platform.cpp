#include "platform/Platform.h"

#include <ctime>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

namespace vo::platform
{

// The XDG configuration folder that desktop applications (and JUCE's
// userApplicationDataDirectory) use: $HOME/.config. A missing or empty HOME
// means there is no usable folder; we never fall back to the filesystem root.
std::string applicationDataFolder()
{
    const char* home = std::getenv ("HOME");
    if (home == nullptr || home[0] != '/')
        return {};

    std::string folder (home);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();

    if (folder == "/")
        return {};

    return folder + "/.config";
}

char pathSeparator() noexcept
{
    return '/';
}

std::uint64_t tickCountMs() noexcept
{
    timespec ts {};
    clock_gettime (CLOCK_MONOTONIC, &ts);
    return (std::uint64_t) ts.tv_sec * 1000u + (std::uint64_t) ts.tv_nsec / 1000000u;
}

LocalTime localTime() noexcept
{
    timeval tv {};
    gettimeofday (&tv, nullptr);
    const time_t seconds = tv.tv_sec;
    tm parts {};
    localtime_r (&seconds, &parts);
    return { parts.tm_hour, parts.tm_min, parts.tm_sec, (int) (tv.tv_usec / 1000) };
}

unsigned long currentThreadId() noexcept
{
    return (unsigned long) syscall (SYS_gettid);
}

unsigned long currentProcessId() noexcept
{
    return (unsigned long) getpid();
}

bool createFolder (const std::string& path) noexcept
{
    if (path.empty())
        return false;

    if (mkdir (path.c_str(), 0755) == 0)
        return true;

    struct stat info {};
    return stat (path.c_str(), &info) == 0 && S_ISDIR (info.st_mode);
}

std::FILE* openFile (const std::string& path, const char* mode) noexcept
{
    return std::fopen (path.c_str(), mode);
}

std::string diagnosticsDataFolder()
{
    return applicationDataFolder();
}

// The POSIX locale variables in their order of precedence, reduced to the
// language ("de_DE.UTF-8" -> "de"); the C locale names no language.
std::string userLanguageCode()
{
    for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANG" })
    {
        const char* value = std::getenv (name);
        if (value == nullptr || *value == 0)
            continue;

        const std::string locale (value);
        const std::string language = locale.substr (0, locale.find_first_of ("_.@"));
        return language == "C" || language == "POSIX" ? std::string() : language;
    }
    return {};
}

} // namespace vo::platform
