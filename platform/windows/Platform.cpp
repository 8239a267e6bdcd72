#include "platform/Platform.h"
#include "platform/windows/WideText.h"

#include "platform/windows/WindowsApi.h"

#include <shlobj.h>

namespace vo::platform
{

namespace
{
    // Shell and environment paths are MAX_PATH long at most; a value that
    // fills the buffer is cut and would name the wrong folder.
    constexpr DWORD kPathChars = MAX_PATH;

    // GetLocaleInfoW's ISO 639 name fits in far fewer; this is its documented limit.
    constexpr int kLocaleChars = 255;

    std::string withoutTrailingSeparators (std::string path)
    {
        // "C:\" is a root and keeps its separator.
        while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
            path.pop_back();
        return path;
    }
}

std::string applicationDataFolder()
{
    wchar_t folder[kPathChars + 1] {};
    if (! SHGetSpecialFolderPathW (nullptr, folder, CSIDL_APPDATA, FALSE) || folder[0] == 0)
        return {};

    return withoutTrailingSeparators (toUtf8 (folder));
}

std::string diagnosticsDataFolder()
{
    wchar_t folder[kPathChars] {};
    const DWORD length = GetEnvironmentVariableW (L"APPDATA", folder, kPathChars);
    if (length == 0 || length >= kPathChars)
        return {};

    return withoutTrailingSeparators (toUtf8 (folder));
}

std::string userLanguageCode()
{
    wchar_t code[kLocaleChars] {};
    if (GetLocaleInfoW (LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, code, kLocaleChars) <= 0)
        return {};

    return toUtf8 (code);
}

char pathSeparator() noexcept
{
    return '\\';
}

std::uint64_t tickCountMs() noexcept
{
    return (std::uint64_t) GetTickCount64();
}

LocalTime localTime() noexcept
{
    SYSTEMTIME now {};
    GetLocalTime (&now);
    return { now.wHour, now.wMinute, now.wSecond, now.wMilliseconds };
}

unsigned long currentThreadId() noexcept
{
    return (unsigned long) GetCurrentThreadId();
}

unsigned long currentProcessId() noexcept
{
    return (unsigned long) GetCurrentProcessId();
}

bool createFolder (const std::string& path) noexcept
{
    if (path.empty())
        return false;

    try
    {
        const auto widePath = toWide (path);
        if (widePath.empty())
            return false;

        if (CreateDirectoryW (widePath.c_str(), nullptr))
            return true;

        const DWORD attributes = GetFileAttributesW (widePath.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    catch (...)
    {
        return false;
    }
}

std::FILE* openFile (const std::string& path, const char* mode) noexcept
{
    // The narrow fopen reads paths in the ANSI code page; users' folders may not fit it.
    return _wfopen (toWide (path).c_str(), toWide (mode).c_str());
}

} // namespace vo::platform
