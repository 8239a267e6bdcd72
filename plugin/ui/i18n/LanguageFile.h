#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <string>

namespace vo::plugins::zel::i18n
{

// "lang.txt" in the user data folder: the language the editor opens in, shared
// by every instance for this user. Without a usable file the operating
// system's language decides, and English when that matches no table.
class LanguageFile
{
public:
    static constexpr const char* kFileName = "lang.txt";

    // The operating system's language code, "" when it names none. Injected so
    // that the fallback can be exercised without changing the environment.
    using SystemLanguage = std::function<std::string()>;

    // `folder` may be the empty File when there is no user data folder: then
    // nothing is read or written.
    explicit LanguageFile (juce::File folder, SystemLanguage systemLanguage = defaultSystemLanguage());

    juce::File getFile() const { return file; }

    // Index of the language to start in, always 0 … 5.
    int readStartIndex() const;

    // Stores the chosen language's code as the whole file, creating the
    // folder. False when that failed; the caller carries on regardless.
    bool write (int index) const;

    // The start-up rule on the file's raw bytes: non-empty content names the
    // language, anything else hands over to the system's code.
    static int indexForContent (const std::string& content, const std::string& systemCode);

    static SystemLanguage defaultSystemLanguage();

private:
    std::string readContent() const;

    juce::File file;
    SystemLanguage systemLanguage;
};

} // namespace vo::plugins::zel::i18n
