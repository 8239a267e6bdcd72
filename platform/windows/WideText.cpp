#include "platform/windows/WideText.h"

#include "platform/windows/WindowsApi.h"


namespace vo::platform
{

std::string toUtf8 (const wchar_t* text)
{
    if (text == nullptr || text[0] == 0)
        return {};

    const int bytes = WideCharToMultiByte (CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return {};

    std::string result ((size_t) bytes, '\0');
    WideCharToMultiByte (CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, result.data(), bytes, nullptr, nullptr);
    result.resize ((size_t) bytes - 1); // the terminator
    return result;
}

std::wstring toWide (const std::string& text)
{
    if (text.empty())
        return {};

    const int chars = MultiByteToWideChar (CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), (int) text.size(), nullptr, 0);
    if (chars <= 0)
        return {};

    std::wstring result ((size_t) chars, L'\0');
    MultiByteToWideChar (CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), (int) text.size(), result.data(), chars);
    return result;
}

} // namespace vo::platform
