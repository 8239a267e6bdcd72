// "update.txt": tolerant reading, exact three-line writing, atomic replacement,
// and junk that never turns into anything but defaults or a plain version.

#include "TestFolder.h"
#include "plugin/update/PrefsFile.h"

#include <gtest/gtest.h>

#include <thread>

namespace vo::test
{
namespace
{
using namespace vo::plugins::zel::upd;

void writeBytes (const juce::File& file, const std::string& bytes)
{
    file.deleteFile();
    ASSERT_TRUE (file.replaceWithData (bytes.data(), bytes.size()));
}

std::string readBytes (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block.toString().toStdString();
}
} // namespace

TEST (UpdatePrefsFile, MissingFileGivesDefaults)
{
    TestFolder folder;
    EXPECT_EQ (PrefsFile (folder.get()).read(), UpdatePrefs {});
}

TEST (UpdatePrefsFile, FolderInPlaceOfTheFileGivesDefaults)
{
    TestFolder folder;
    folder.prefsFile().getChildFile ("inner").createDirectory();
    EXPECT_EQ (PrefsFile (folder.get()).read(), UpdatePrefs {});
}

TEST (UpdatePrefsFile, ReadsCrLfLines)
{
    TestFolder folder;
    writeBytes (folder.prefsFile(), "lastCheck=1700000000\r\nlastSeen=1.1.0\r\ndontAsk=1\r\n");
    const auto prefs = PrefsFile (folder.get()).read();
    EXPECT_EQ (prefs.lastCheck, 1700000000);
    EXPECT_EQ (prefs.lastSeen, "1.1.0");
    EXPECT_TRUE (prefs.dontAsk);
}

TEST (UpdatePrefsFile, ReadsLfAndLoneCrLinesWithBlanks)
{
    TestFolder folder;
    writeBytes (folder.prefsFile(), "  lastCheck =  42 \nlastSeen= 2.3\rdontAsk=0");
    const auto prefs = PrefsFile (folder.get()).read();
    EXPECT_EQ (prefs.lastCheck, 42);
    EXPECT_EQ (prefs.lastSeen, "2.3.0");
    EXPECT_FALSE (prefs.dontAsk);
}

TEST (UpdatePrefsFile, UnknownKeysAndLinesWithoutEqualsAreIgnored)
{
    TestFolder folder;
    writeBytes (folder.prefsFile(), "colour=blue\r\nlastCheck\r\n=5\r\nlastSeen=1.2.0\r\nfuture=1\r\n");
    const auto prefs = PrefsFile (folder.get()).read();
    EXPECT_EQ (prefs.lastCheck, 0);
    EXPECT_EQ (prefs.lastSeen, "1.2.0");
    EXPECT_FALSE (prefs.dontAsk);
}

TEST (UpdatePrefsFile, ALaterDuplicateKeyWins)
{
    TestFolder folder;
    writeBytes (folder.prefsFile(), "dontAsk=1\r\nlastSeen=1.5.0\r\nlastCheck=10\r\ndontAsk=0\r\nlastSeen=1.6.0\r\nlastCheck=20\r\n");
    const auto prefs = PrefsFile (folder.get()).read();
    EXPECT_EQ (prefs.lastCheck, 20);
    EXPECT_EQ (prefs.lastSeen, "1.6.0");
    EXPECT_FALSE (prefs.dontAsk);
}

TEST (UpdatePrefsFile, NumbersReadTheirLeadingDigits)
{
    EXPECT_EQ (PrefsFile::parse ("lastCheck=123abc").lastCheck, 123);
    EXPECT_EQ (PrefsFile::parse ("lastCheck=abc").lastCheck, 0);
    EXPECT_EQ (PrefsFile::parse ("lastCheck=-50").lastCheck, -50);
    EXPECT_EQ (PrefsFile::parse ("lastCheck=99999999999999999999999999").lastCheck, 0);
    EXPECT_TRUE (PrefsFile::parse ("dontAsk=2").dontAsk);
    EXPECT_TRUE (PrefsFile::parse ("dontAsk=-1").dontAsk);
    EXPECT_FALSE (PrefsFile::parse ("dontAsk=yes").dontAsk);
    EXPECT_FALSE (PrefsFile::parse ("dontAsk=").dontAsk);
}

TEST (UpdatePrefsFile, LastSeenOnlyEverHoldsAPlainVersion)
{
    EXPECT_EQ (PrefsFile::parse ("lastSeen=2.0.1-beta<script>").lastSeen, "2.0.1");
    EXPECT_EQ (PrefsFile::parse ("lastSeen=v9").lastSeen, "");
    EXPECT_EQ (PrefsFile::parse ("lastSeen=\xff\xfe\x80 1.0").lastSeen, "");
}

TEST (UpdatePrefsFile, WritesExactlyThreeCrLfLines)
{
    TestFolder folder;
    UpdatePrefs prefs;
    prefs.lastCheck = 1712345678;
    prefs.lastSeen = "1.3.0";
    prefs.dontAsk = true;
    ASSERT_TRUE (PrefsFile (folder.get()).write (prefs));
    EXPECT_EQ (readBytes (folder.prefsFile()), "lastCheck=1712345678\r\nlastSeen=1.3.0\r\ndontAsk=1\r\n");
    EXPECT_EQ (PrefsFile (folder.get()).read(), prefs);
    EXPECT_EQ (folder.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1); // no temporary left behind
}

TEST (UpdatePrefsFile, WritingCreatesTheFolder)
{
    TestFolder folder;
    const auto nested = folder.get().getChildFile ("velmora/ZEL");
    ASSERT_TRUE (PrefsFile (nested).write ({}));
    EXPECT_EQ (readBytes (nested.getChildFile ("update.txt")), "lastCheck=0\r\nlastSeen=\r\ndontAsk=0\r\n");
}

TEST (UpdatePrefsFile, WritingNeverStoresMoreThanAVersion)
{
    TestFolder folder;
    UpdatePrefs prefs;
    prefs.lastSeen = "1.2.3\r\nlastCheck=99";
    ASSERT_TRUE (PrefsFile (folder.get()).write (prefs));
    EXPECT_EQ (readBytes (folder.prefsFile()), "lastCheck=0\r\nlastSeen=1.2.3\r\ndontAsk=0\r\n");
}

TEST (UpdatePrefsFile, UnwritableTargetKeepsWhatIsThere)
{
    TestFolder folder;
    folder.prefsFile().getChildFile ("occupied").createDirectory();
    PrefsFile file (folder.get());
    EXPECT_FALSE (file.write ({ 5, "1.0.0", true }));
    EXPECT_EQ (file.update ([] (UpdatePrefs& p) { p.dontAsk = true; }), UpdatePrefs {});
    EXPECT_TRUE (folder.prefsFile().isDirectory());
}

TEST (UpdatePrefsFile, BinaryJunkGivesDefaults)
{
    TestFolder folder;
    std::string junk;
    juce::Random random (7);
    for (int i = 0; i < 5000; ++i)
        junk.push_back ((char) random.nextInt (256));
    writeBytes (folder.prefsFile(), junk);

    const auto prefs = PrefsFile (folder.get()).read();
    EXPECT_TRUE (prefs.lastSeen.isEmpty() || prefs.lastSeen.matchesWildcard ("*.*.*", false));
    EXPECT_LE (prefs.lastSeen.length(), 20);
}

TEST (UpdatePrefsFile, HugeFileIsReadOnlyAtItsStart)
{
    TestFolder folder;
    std::string text = "lastSeen=1.4.0\r\n" + std::string (4 * 1024 * 1024, 'x') + "\r\ndontAsk=1\r\n";
    writeBytes (folder.prefsFile(), text);

    const auto prefs = PrefsFile (folder.get()).read();
    EXPECT_EQ (prefs.lastSeen, "1.4.0");
    EXPECT_FALSE (prefs.dontAsk); // beyond what is read
}

TEST (UpdatePrefsFile, ConcurrentUpdatesOfDifferentFieldsBothSurvive)
{
    TestFolder folder;
    const PrefsFile file (folder.get());
    constexpr int kRounds = 200;

    std::thread checker ([&] {
        for (int i = 1; i <= kRounds; ++i)
            file.update ([i] (UpdatePrefs& p) { p.lastCheck = i; });
    });
    std::thread user ([&] {
        for (int i = 1; i <= kRounds; ++i)
            file.update ([i] (UpdatePrefs& p) { p.dontAsk = (i % 2) == 0; });
    });
    checker.join();
    user.join();

    const auto prefs = file.read();
    EXPECT_EQ (prefs.lastCheck, kRounds);
    EXPECT_TRUE (prefs.dontAsk);
}

} // namespace vo::test
