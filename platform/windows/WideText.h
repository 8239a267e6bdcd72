#pragma once

#include <string>

// Windows speaks UTF-16; the rest of the product passes UTF-8.
namespace vo::platform
{

// Empty when the text is not valid UTF-16 / UTF-8.
std::string toUtf8 (const wchar_t* text);
std::wstring toWide (const std::string& text);

} // namespace vo::platform
