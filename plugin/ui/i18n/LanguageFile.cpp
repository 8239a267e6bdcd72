#include "LanguageFile.h"

#include "Tables.h"

#include "platform/Platform.h"

#include <string_view>

namespace vo::plugins::zel::i18n
{

namespace
{
// Only the first two characters count, so the start of the file is plenty;
// a larger file is someone else's, not a code.
constexpr int kMaxReadBytes = 64;
constexpr std::size_t kCodeLength = 2;

// Editors on Windows like to put one in front of a file saved as UTF-8.
constexpr std::string_view kUtf8ByteOrderMark { "\xEF\xBB\xBF" };

constexpr const char* kFallbackCode = "en";

bool isAscii (char c)
{
    return static_cast<unsigned char> (c) < 0x80;
}

// Every code in the tables is two ASCII letters, so anything else in the first
// two bytes cannot match; turning only ASCII into a juce::String also keeps
// stray bytes away from its UTF-8 decoding.
juce::String codeFrom (std::string_view text)
{
    const auto start = text.substr (0, kCodeLength);

    for (const char c : start)
        if (! isAscii (c) || c == 0)
            return {};

    return juce::String (start.data(), start.size());
}

std::string_view withoutByteOrderMark (std::string_view text)
{
    if (text.substr (0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark)
        text.remove_prefix (kUtf8ByteOrderMark.size());

    return text;
}
} // namespace

LanguageFile::LanguageFile (juce::File folder, SystemLanguage systemLanguageToUse)
    : file (folder == juce::File() ? juce::File() : folder.getChildFile (kFileName)),
      systemLanguage (std::move (systemLanguageToUse))
{
}

LanguageFile::SystemLanguage LanguageFile::defaultSystemLanguage()
{
    return [] { return platform::userLanguageCode(); };
}

int LanguageFile::indexForContent (const std::string& content, const std::string& systemCode)
{
    const auto code = withoutByteOrderMark (content);

    if (! code.empty())
        return languageIndexFor (codeFrom (code));

    return languageIndexFor (systemCode.empty() ? juce::String (kFallbackCode) : codeFrom (systemCode));
}

int LanguageFile::readStartIndex() const
{
    return indexForContent (readContent(), systemLanguage ? systemLanguage() : std::string());
}

std::string LanguageFile::readContent() const
{
    // existsAsFile is false for a folder of that name: the system decides then.
    if (file == juce::File() || ! file.existsAsFile())
        return {};

    juce::FileInputStream stream (file);

    if (! stream.openedOk())
        return {};

    std::string bytes (static_cast<std::size_t> (kMaxReadBytes), '\0');
    const auto got = stream.read (bytes.data(), kMaxReadBytes);
    bytes.resize (static_cast<std::size_t> (juce::jmax (0, got)));
    return bytes;
}

bool LanguageFile::write (int index) const
{
    // Without a folder, File("") would put the file at the root of the disk.
    if (file == juce::File() || ! file.getParentDirectory().createDirectory())
        return false;

    const std::string_view code { tableFor (index).code };
    return file.replaceWithData (code.data(), code.size());
}

} // namespace vo::plugins::zel::i18n
