// Fuzzes "language.txt": any bytes read as one of the three toolkit
// languages, the same straight from the bytes and through the file, and
// reading writes nothing into the vendor folder.

#include "FuzzSupport.h"

#include "gui/i18n/LanguageFile.h"

#include <cstdlib>

namespace
{

using vo::gui::i18n::Lang;

bool isOneOfTheThree (Lang lang)
{
    return lang == Lang::English || lang == Lang::German || lang == Lang::Turkish;
}

const juce::File& folderForTheWholeRun()
{
    vo::fuzz::startJuceOnce();
    static const auto folder = vo::gui::i18n::vendorFolder ("velmora-fuzz");
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const std::string bytes (reinterpret_cast<const char*> (data), size);
    const auto direct = vo::gui::i18n::languageForContent (bytes);
    if (! isOneOfTheThree (direct))
        std::abort();

    const auto& folder = folderForTheWholeRun();
    if (! folder.createDirectory())
        std::abort();
    const auto file = folder.getChildFile (vo::gui::i18n::kLanguageFileName);
    if (! file.replaceWithData (data, size))
        std::abort();

    const auto read = vo::gui::i18n::readLanguageFile (folder);
    if (! isOneOfTheThree (read))
        std::abort();

    // Oversized files are not read at all; everything else reads like its bytes.
    constexpr size_t kLargestReadFile = 4096;
    if (size <= kLargestReadFile && read != direct)
        std::abort();

    // Writing no bytes removes the file (the framework's rule), so an empty
    // input leaves the folder empty; reading must not have added anything.
    const int expectedFiles = size == 0 ? 0 : 1;
    if (file.getSize() != static_cast<juce::int64> (size) || folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories) != expectedFiles)
        std::abort();
    return 0;
}
