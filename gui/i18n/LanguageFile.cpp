#include "LanguageFile.h"

#include "platform/Platform.h"

#include <string_view>

namespace vo::gui::i18n
{

namespace
{

// A code is two letters; anything much longer is not ours to read whole.
constexpr juce::int64 kMaximumFileBytes = 4096;
constexpr const char* kWhiteSpace = " \t\n\r\v\f";

const char* codeOf (Lang lang)
{
    switch (lang)
    {
        case Lang::German: return "de";
        case Lang::Turkish: return "tr";
        case Lang::English: break;
    }
    return "en";
}

} // namespace

juce::File vendorFolder (const juce::String& vendor)
{
    const auto appData = platform::applicationDataFolder();
    if (appData.empty() || vendor.isEmpty())
        return {};
    return juce::File (juce::String::fromUTF8 (appData.c_str())).getChildFile (vendor);
}

// Only the start of the trimmed text counts, so trimming the end changes
// nothing; the bytes are never decoded, so no byte sequence can upset it.
Lang languageForContent (const std::string& bytes)
{
    const auto start = bytes.find_first_not_of (kWhiteSpace);
    if (start == std::string::npos)
        return Lang::English;

    const std::string_view text (bytes.data() + start, bytes.size() - start);
    if (text.substr (0, 2) == "de")
        return Lang::German;
    if (text.substr (0, 2) == "tr")
        return Lang::Turkish;
    return Lang::English;
}

Lang readLanguageFile (const juce::File& folder)
{
    if (folder == juce::File())
        return Lang::English;

    const auto file = folder.getChildFile (kLanguageFileName);
    if (! file.existsAsFile() || file.getSize() > kMaximumFileBytes)
        return Lang::English;

    juce::MemoryBlock bytes;
    if (! file.loadFileAsData (bytes))
        return Lang::English;
    return languageForContent (std::string (static_cast<const char*> (bytes.getData()), bytes.getSize()));
}

void writeLanguageFile (const juce::File& folder, Lang lang)
{
    // Without a folder, File("") would put the file at the root of the disk.
    if (folder == juce::File() || ! folder.createDirectory())
        return;

    const juce::String code (codeOf (lang));
    folder.getChildFile (kLanguageFileName).replaceWithText (code, false, false, nullptr);
}

} // namespace vo::gui::i18n
