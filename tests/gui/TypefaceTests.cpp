#include "gui/Fonts.h"
#include "gui/TypefaceCache.h"

#include "diagnostics/DiagLog.h"

#include <gtest/gtest.h>

namespace vo::test
{
using vo::gui::EmbeddedFileList;
using vo::gui::TypefaceCache;
using vo::gui::displayFont;
using vo::gui::embeddedFiles;
using vo::gui::textFont;

namespace
{

EmbeddedFileList without (const juce::String& fileName)
{
    auto files = embeddedFiles();
    files.erase (std::remove_if (files.begin(), files.end(), [&] (const auto& file) { return file.fileName == fileName; }),
                 files.end());
    return files;
}

juce::Typeface::Ptr typefaceOf (const juce::String& fileName)
{
    for (const auto& file : embeddedFiles())
        if (file.fileName == fileName)
            return juce::Typeface::createSystemTypefaceFor (file.data, file.size);
    return {};
}

bool sameFace (const juce::Typeface::Ptr& a, const juce::Typeface::Ptr& b)
{
    return a != nullptr && b != nullptr && a->getName() == b->getName() && a->getStyle() == b->getStyle();
}

int countLogLines (const char* text)
{
    const auto log = juce::File (vo::diagnostics::DiagLog::instance().getLogPath()).loadFileAsString();
    int count = 0;
    for (const auto& line : juce::StringArray::fromLines (log))
        count += line.contains (text) ? 1 : 0;
    return count;
}

void openLog()
{
    vo::diagnostics::DiagLog::instance().setup ("velmora", "ZEL-gui-tests",
                                                juce::File::getSpecialLocation (juce::File::userHomeDirectory)
                                                    .getFullPathName().toStdString());
    ASSERT_TRUE (vo::diagnostics::DiagLog::instance().hasFile());
}

constexpr const char* kBuildLine = "typeface cache BUILD (must stay rare - see vo_Typography)";

TEST (TypefaceCache, TheBuildCarriesAllThreeFonts)
{
    const auto files = embeddedFiles();
    for (const auto* name : { "DuVaZovi.ttf", "HankenGrotesk.ttf", "Inter.ttf" })
        EXPECT_NE (TypefaceCache::findFontFile (files, { name }), nullptr) << name;
}

TEST (TypefaceCache, BothSlotsPreferTheSharedFamily)
{
    const TypefaceCache cache (embeddedFiles());
    const auto shared = typefaceOf ("DuVaZovi.ttf");
    EXPECT_TRUE (sameFace (cache.getDisplayTypeface(), shared));
    EXPECT_TRUE (sameFace (cache.getTextTypeface(), shared));
}

TEST (TypefaceCache, WithoutTheSharedFamilyEachSlotUsesItsOwn)
{
    const TypefaceCache cache (without ("DuVaZovi.ttf"));
    EXPECT_TRUE (sameFace (cache.getDisplayTypeface(), typefaceOf ("HankenGrotesk.ttf")));
    EXPECT_TRUE (sameFace (cache.getTextTypeface(), typefaceOf ("Inter.ttf")));
    EXPECT_FALSE (sameFace (cache.getDisplayTypeface(), cache.getTextTypeface()));
}

TEST (TypefaceCache, LookupWalksCandidatesThenFilesInOrder)
{
    const char bytes[] = "x";
    const EmbeddedFileList files {
        { "logo.png", bytes, 1 },
        { "Inter-old.ttf", bytes, 1 },
        { "DuVaZovi.otf", bytes, 1 },      // not a .ttf name
        { "DuVaZoviBroken.ttf", nullptr, 0 },
        { "HankenGrotesk.ttf", bytes, 1 },
        { "Inter.ttf", bytes, 1 },
    };
    EXPECT_EQ (TypefaceCache::findFontFile (files, { "DuVaZovi", "Inter" }), &files[1]);
    EXPECT_EQ (TypefaceCache::findFontFile (files, { "DuVaZovi", "HankenGrotesk" }), &files[4]);
    EXPECT_EQ (TypefaceCache::findFontFile (files, { "" }), &files[1]);
    EXPECT_EQ (TypefaceCache::findFontFile (files, { "Missing" }), nullptr);
}

TEST (TypefaceCache, WithoutFontsTheDefaultFaceServesAtTheRequestedHeight)
{
    const TypefaceCache cache (EmbeddedFileList {});
    EXPECT_EQ (cache.getDisplayTypeface(), nullptr);
    EXPECT_EQ (cache.getTextTypeface(), nullptr);

    const auto font = cache.getTextFont (13.0f);
    EXPECT_FLOAT_EQ (font.getHeight(), 13.0f);
    EXPECT_FLOAT_EQ (cache.getDisplayFont (9.0f).getHeight(), 9.0f);
    EXPECT_GT (font.getStringWidthFloat ("Room"), 0.0f);
}

TEST (TypefaceCache, EachBuildWritesOneLogLine)
{
    openLog();
    const auto before = countLogLines (kBuildLine);
    { const TypefaceCache first (EmbeddedFileList {}); }
    EXPECT_EQ (countLogLines (kBuildLine), before + 1);
    { const TypefaceCache second (EmbeddedFileList {}); }
    EXPECT_EQ (countLogLines (kBuildLine), before + 2);
}

TEST (TypefaceCache, FontRequestsShareOneCacheWhileItIsHeld)
{
    openLog();
    const auto before = countLogLines (kBuildLine);
    {
        const juce::SharedResourcePointer<TypefaceCache> holder;   // as the editor shell holds it
        for (int i = 0; i < 5; ++i)
        {
            EXPECT_FLOAT_EQ (displayFont (12.5f).getHeight(), 12.5f);
            EXPECT_FLOAT_EQ (textFont (13.0f).getHeight(), 13.0f);
        }
        EXPECT_TRUE (sameFace (displayFont (10.0f).getTypefacePtr(), holder->getDisplayTypeface()));
    }
    EXPECT_EQ (countLogLines (kBuildLine), before + 1);

    displayFont (12.0f);   // the last holder went: this one builds again
    EXPECT_EQ (countLogLines (kBuildLine), before + 2);
}

} // namespace
} // namespace vo::test
