// The toolkit's languages: the lookup and "language.txt" in the vendor folder.

#include "gui/i18n/LanguageFile.h"
#include "gui/i18n/Translate.h"

#include <gtest/gtest.h>

namespace vo::test
{
using vo::gui::i18n::Lang;
using vo::gui::i18n::languageForContent;
using vo::gui::i18n::languageName;
using vo::gui::i18n::readLanguageFile;
using vo::gui::i18n::translate;
using vo::gui::i18n::vendorFolder;
using vo::gui::i18n::writeLanguageFile;

namespace
{

class LanguageFileTest : public ::testing::Test
{
protected:
    void SetUp() override { folder.deleteRecursively(); }
    void TearDown() override { folder.deleteRecursively(); }

    void store (const juce::String& content)
    {
        ASSERT_TRUE (folder.createDirectory());
        ASSERT_TRUE (folder.getChildFile ("language.txt").replaceWithText (content, false, false, nullptr));
    }

    const juce::File folder = vendorFolder ("velmora-test");
};

TEST (Translate, KnownKeysInEachLanguage)
{
    EXPECT_EQ (translate (Lang::Turkish, "window size"), "pencere boyutu");
    EXPECT_EQ (translate (Lang::German, "window size"), juce::String::fromUTF8 ("fenstergr\xc3\xb6\xc3\x9f" "e"));
    EXPECT_EQ (translate (Lang::English, "latency"), "latency");
    EXPECT_EQ (translate (Lang::Turkish, "samples"), juce::String::fromUTF8 ("\xc3\xb6rnek"));
    EXPECT_EQ (translate (static_cast<Lang> (7), "language"), "language") << "other values read English";
}

TEST (Translate, UnknownTextsPassThrough)
{
    const auto own = juce::String::fromUTF8 ("Wie tief der Schnitt geht");
    EXPECT_EQ (translate (Lang::Turkish, own), own);
    EXPECT_EQ (translate (Lang::German, "Window size"), "Window size") << "case-sensitive";
}

TEST (Translate, MenuNames)
{
    EXPECT_EQ (languageName (Lang::English), "english");
    EXPECT_EQ (languageName (Lang::German), "deutsch");
    EXPECT_EQ (languageName (Lang::Turkish), juce::String::fromUTF8 ("t\xc3\xbcrk\xc3\xa7" "e"));
}

TEST_F (LanguageFileTest, LivesInTheVendorFolderOfTheApplicationData)
{
    EXPECT_EQ (folder.getFileName(), "velmora-test");
    EXPECT_TRUE (folder.getParentDirectory().isAChildOf (juce::File::getSpecialLocation (juce::File::userHomeDirectory)));
}

TEST_F (LanguageFileTest, MissingFileOrFolderMeansEnglish)
{
    EXPECT_EQ (readLanguageFile (folder), Lang::English);
    ASSERT_TRUE (folder.getChildFile ("language.txt").createDirectory());
    EXPECT_EQ (readLanguageFile (folder), Lang::English);
    EXPECT_EQ (readLanguageFile (juce::File()), Lang::English);
}

TEST_F (LanguageFileTest, TheWordDeutschSelectsGerman)
{
    store ("deutsch");
    EXPECT_EQ (readLanguageFile (folder), Lang::German);
}

TEST_F (LanguageFileTest, WhiteSpaceAroundTheCodeIsIgnored)
{
    store (" de\n");
    EXPECT_EQ (readLanguageFile (folder), Lang::German);
    store ("\ttr\r\n");
    EXPECT_EQ (readLanguageFile (folder), Lang::Turkish);
}

TEST_F (LanguageFileTest, CapitalsAreNotACode)
{
    store ("DE");
    EXPECT_EQ (readLanguageFile (folder), Lang::English);
}

TEST_F (LanguageFileTest, WritesTheBareCodeAndReadsItBack)
{
    writeLanguageFile (folder, Lang::Turkish);
    EXPECT_EQ (folder.getChildFile ("language.txt").loadFileAsString(), "tr");
    EXPECT_EQ (readLanguageFile (folder), Lang::Turkish);
    writeLanguageFile (folder, static_cast<Lang> (9));
    EXPECT_EQ (folder.getChildFile ("language.txt").loadFileAsString(), "en");
}

TEST_F (LanguageFileTest, TwoProductsOfTheVendorShareTheFile)
{
    writeLanguageFile (vendorFolder ("velmora-test"), Lang::German);
    EXPECT_EQ (readLanguageFile (vendorFolder ("velmora-test")), Lang::German);
}

TEST (LanguageContent, AnyBytesGiveOneOfTheThreeLanguages)
{
    EXPECT_EQ (languageForContent (std::string ("\xff\xfe" "d\0e", 5)), Lang::English);
    EXPECT_EQ (languageForContent (std::string ("de\0\xc3", 4)), Lang::German);
    EXPECT_EQ (languageForContent ("   "), Lang::English);
    EXPECT_EQ (languageForContent (""), Lang::English);
    EXPECT_EQ (languageForContent ("t"), Lang::English);
}

TEST (LanguageContent, NoApplicationDataMeansNoFolder)
{
    EXPECT_EQ (vendorFolder (""), juce::File());
}

} // namespace
} // namespace vo::test
