// The editor's start-up language as Windows reports the user's locale, run
// under Wine with the locale CTest gives it: what the system calls say, what
// the platform layer answers, and the language a user data folder without
// "lang.txt" opens in.
//
// Usage: zel_win_language_test <ISO 639 code> <expected language index>
// Prints one line per check and "N passed, M failed"; exits non-zero on failure.

#include "CheckReport.h"
#include "platform/Platform.h"
#include "platform/windows/WideText.h"
#include "plugin/ui/i18n/LanguageFile.h"
#include "plugin/ui/i18n/Tables.h"

#include "platform/windows/WindowsApi.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

using vo::test::check;
using vo::plugins::zel::i18n::LanguageFile;

std::string environment (const char* name)
{
    const char* value = std::getenv (name);
    return value != nullptr ? value : "(unset)";
}

std::string hexadecimal (unsigned value)
{
    char text[16];
    std::snprintf (text, sizeof (text), "0x%04x", value);
    return text;
}

// Wine reads the locale from the Unix environment once per process; print
// what it got so that a failure shows which side went wrong.
void testSystemAnswers (const std::string& code)
{
    std::printf ("environment: LANG=%s LC_ALL=%s LC_MESSAGES=%s\n", environment ("LANG").c_str(),
                 environment ("LC_ALL").c_str(), environment ("LC_MESSAGES").c_str());

    wchar_t name[LOCALE_NAME_MAX_LENGTH] {};
    const bool named = GetUserDefaultLocaleName (name, LOCALE_NAME_MAX_LENGTH) > 0;
    const auto localeName = vo::platform::toUtf8 (name);
    check (named && localeName.rfind (code + "-", 0) == 0, "GetUserDefaultLocaleName names the language", localeName);

    const LANGID interfaceLanguage = GetUserDefaultUILanguage();
    wchar_t interfaceCode[16] {};
    GetLocaleInfoW (MAKELCID (interfaceLanguage, SORT_DEFAULT), LOCALE_SISO639LANGNAME, interfaceCode, 16);
    check (vo::platform::toUtf8 (interfaceCode) == code, "GetUserDefaultUILanguage is the same language",
           hexadecimal (interfaceLanguage) + " " + vo::platform::toUtf8 (interfaceCode));

    check (vo::platform::userLanguageCode() == code, "platform's userLanguageCode()", vo::platform::userLanguageCode());
}

// A fresh folder under %TEMP%: no "lang.txt" in it, so the system decides.
std::wstring makeEmptyFolder()
{
    wchar_t temp[MAX_PATH + 1] {};
    GetTempPathW (MAX_PATH + 1, temp);
    const std::wstring folder = std::wstring (temp) + L"zel-language-" + std::to_wstring (GetCurrentProcessId());
    CreateDirectoryW (folder.c_str(), nullptr);
    return folder;
}

void testStartLanguage (const std::string& code, int expectedIndex)
{
    using vo::plugins::zel::i18n::tableFor;

    const auto folder = makeEmptyFolder();
    const juce::File folderFile (juce::String::fromUTF8 (vo::platform::toUtf8 (folder.c_str()).c_str()));
    check (folderFile.isDirectory() && ! folderFile.getChildFile (LanguageFile::kFileName).exists(),
           "user data folder without lang.txt", folderFile.getFullPathName().toStdString());

    const int index = LanguageFile (folderFile).readStartIndex();
    check (index == expectedIndex, "editor starts in the locale's language",
           std::to_string (index) + " (" + tableFor (index).code + ")");
    check (LanguageFile::indexForContent ("", code) == expectedIndex, "the start-up rule maps \"" + code + "\" to it");
    check (std::string (tableFor (expectedIndex).code) == code, "that language's table is \"" + code + "\"",
           tableFor (expectedIndex).code);

    check (! folderFile.getChildFile (LanguageFile::kFileName).exists(), "reading leaves no lang.txt behind");
    RemoveDirectoryW (folder.c_str());
}

} // namespace

int main (int argc, char** argv)
{
    if (argc < 3)
    {
        std::printf ("usage: %s <ISO 639 code> <expected language index>\n", argv[0]);
        return 2;
    }
    const std::string code = argv[1];
    const int expectedIndex = std::atoi (argv[2]);

    testSystemAnswers (code);
    testStartLanguage (code, expectedIndex);
    return vo::test::CheckReport::forThisProgram().finish();
}
