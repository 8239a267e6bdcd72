// Fuzzes ZEL's own "lang.txt" together with the operating system's language
// code: any bytes name one of the six tables; a non-empty file decides alone,
// by its first two characters after an optional byte order mark; and the file
// read from disk gives what its bytes give.
//
// Input layout: the first byte says how many of the following bytes are the
// system's code (0 … 8); the rest is the file.

#include "FuzzSupport.h"

#include "plugin/ui/i18n/LanguageFile.h"
#include "plugin/ui/i18n/Tables.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{

using vo::plugins::zel::i18n::LanguageFile;

constexpr std::size_t kLongestSystemCode = 8;
constexpr std::size_t kCodeLength = 2;
constexpr std::size_t kMaxReadBytes = 64;
constexpr std::string_view kByteOrderMark { "\xEF\xBB\xBF" };

void require (bool condition)
{
    if (! condition)
        std::abort();
}

bool isLanguage (int index)
{
    return index >= 0 && index < vo::plugins::zel::i18n::kNumLanguages;
}

// The part of the file that may matter: the mark, if any, and two characters.
std::string significantPart (const std::string& content)
{
    const auto mark = std::string_view (content).substr (0, kByteOrderMark.size()) == kByteOrderMark
                          ? kByteOrderMark.size()
                          : 0;
    return content.substr (0, mark + kCodeLength);
}

bool namesItself (const std::string& content)
{
    return std::string_view (content).substr (0, kByteOrderMark.size()) == kByteOrderMark
               ? content.size() > kByteOrderMark.size()
               : ! content.empty();
}

const juce::File& folderForTheWholeRun()
{
    vo::fuzz::startJuceOnce();
    static const auto folder = [] {
        const auto made = juce::File::createTempFile ("zel-fuzz-lang");
        made.createDirectory();
        return made;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const auto codeLength = std::min<std::size_t> (data[0] % (kLongestSystemCode + 1), size - 1);
    const std::string systemCode (reinterpret_cast<const char*> (data + 1), codeLength);
    const std::string content (reinterpret_cast<const char*> (data + 1 + codeLength), size - 1 - codeLength);

    const auto index = LanguageFile::indexForContent (content, systemCode);
    require (isLanguage (index));

    if (namesItself (content))
    {
        require (LanguageFile::indexForContent (content, "de") == index);
        require (LanguageFile::indexForContent (significantPart (content), std::string()) == index);
    }
    else
    {
        require (LanguageFile::indexForContent (std::string(), systemCode) == index);
    }

    // The same bytes through the file, which reads only its start.
    const auto& folder = folderForTheWholeRun();
    const LanguageFile file (folder, [systemCode] { return systemCode; });
    require (file.getFile().replaceWithData (content.data(), content.size()));
    const auto fromDisk = file.readStartIndex();
    require (isLanguage (fromDisk));
    require (fromDisk == LanguageFile::indexForContent (content.substr (0, kMaxReadBytes), systemCode));
    if (content.size() <= kMaxReadBytes)
        require (fromDisk == index);

    // What the editor stores reads back as the same language.
    require (file.write (index));
    require (file.readStartIndex() == index);
    return 0;
}
