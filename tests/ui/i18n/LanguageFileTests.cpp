// "lang.txt": which language an editor opens in, and what choosing one leaves
// on disk. The operating system's language is simulated, never changed.

#include "plugin/ui/i18n/LanguageFile.h"
#include "plugin/ui/i18n/Tables.h"

#include <gtest/gtest.h>

#include <string>

namespace vo::test
{
// A fresh folder under the test's temporary home, removed afterwards.
class ScratchFolder
{
public:
    ScratchFolder()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getNonexistentChildFile ("zel-lang", ""))
    {
        folder.createDirectory();
    }

    ~ScratchFolder() { folder.deleteRecursively(); }

    ScratchFolder (const ScratchFolder&) = delete;
    ScratchFolder& operator= (const ScratchFolder&) = delete;

    const juce::File& get() const { return folder; }
    juce::File languageFile() const { return folder.getChildFile ("lang.txt"); }

private:
    juce::File folder;
};

inline vo::plugins::zel::i18n::LanguageFile::SystemLanguage systemSays (std::string code)
{
    return [code] { return code; };
}

// Replacing with no data would delete the file, so an empty one is created.
inline void putBytes (const juce::File& file, const std::string& bytes)
{
    ASSERT_TRUE (file.deleteFile());
    ASSERT_TRUE (bytes.empty() ? file.create().wasOk() : file.replaceWithData (bytes.data(), bytes.size()));
}

inline std::string bytesOf (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block.toString().toStdString();
}

namespace
{
using vo::plugins::zel::i18n::LanguageFile;

constexpr int kEnglish = 0;
constexpr int kGerman = 1;
constexpr int kTurkish = 2;
constexpr int kItalian = 4;

int startIndex (const ScratchFolder& folder, const std::string& systemCode)
{
    return LanguageFile (folder.get(), systemSays (systemCode)).readStartIndex();
}

TEST (LanguageFile, GermanSystemWithoutFileStartsInGerman)
{
    ScratchFolder folder;
    EXPECT_EQ (startIndex (folder, "de"), kGerman);
}

TEST (LanguageFile, FileWinsOverTheSystem)
{
    ScratchFolder folder;
    putBytes (folder.languageFile(), "it");
    EXPECT_EQ (startIndex (folder, "de"), kItalian);
    EXPECT_EQ (startIndex (folder, ""), kItalian);
}

TEST (LanguageFile, OnlyTheFirstTwoLettersCountInAnyCase)
{
    ScratchFolder folder;
    putBytes (folder.languageFile(), "tr\r\n");
    EXPECT_EQ (startIndex (folder, "de"), kTurkish);

    putBytes (folder.languageFile(), "Tr-TR");
    EXPECT_EQ (startIndex (folder, "de"), kTurkish);
}

TEST (LanguageFile, FolderOrEmptyFileLeavesItToTheSystem)
{
    ScratchFolder folder;
    ASSERT_TRUE (folder.languageFile().createDirectory());
    EXPECT_EQ (startIndex (folder, "de"), kGerman);

    ASSERT_TRUE (folder.languageFile().deleteRecursively());
    putBytes (folder.languageFile(), "");
    EXPECT_EQ (startIndex (folder, "de"), kGerman);
}

TEST (LanguageFile, UnknownLanguagesGiveEnglish)
{
    ScratchFolder folder;
    EXPECT_EQ (startIndex (folder, "xx"), kEnglish);
    EXPECT_EQ (startIndex (folder, ""), kEnglish);

    // Content that names no language is still the file's say, not the system's.
    putBytes (folder.languageFile(), "\xC3\xA4x");
    EXPECT_EQ (startIndex (folder, "de"), kEnglish);
}

TEST (LanguageFile, ChoosingTurkishWritesExactlyItsCode)
{
    ScratchFolder folder;
    const auto nested = folder.get().getChildFile ("vendor").getChildFile ("ZEL");
    const LanguageFile file (nested, systemSays ("de"));

    EXPECT_TRUE (file.write (kTurkish));
    EXPECT_EQ (bytesOf (nested.getChildFile ("lang.txt")), "tr");
    EXPECT_EQ (file.readStartIndex(), kTurkish);

    // The whole old content goes, however long it was.
    putBytes (file.getFile(), "deutsch, bitte\r\n");
    EXPECT_TRUE (file.write (kItalian));
    EXPECT_EQ (bytesOf (file.getFile()), "it");
}

TEST (LanguageFile, UnusableFolderIsIgnored)
{
    ScratchFolder folder;
    const auto aFile = folder.get().getChildFile ("plain-file");
    putBytes (aFile, "x");

    const LanguageFile underAFile (aFile.getChildFile ("ZEL"), systemSays ("de"));
    EXPECT_FALSE (underAFile.write (kTurkish));
    EXPECT_EQ (underAFile.readStartIndex(), kGerman);

    const LanguageFile nowhere (juce::File(), systemSays ("de"));
    EXPECT_FALSE (nowhere.write (kTurkish));
    EXPECT_EQ (nowhere.readStartIndex(), kGerman);
}
} // namespace
} // namespace vo::test
