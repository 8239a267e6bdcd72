// The process-wide diagnostic log: one file per process shared by every
// instance, line format, message cut, size reset, and silence without a folder.

#include "diagnostics/DiagLog.h"
#include "plugin/Processor.h"

#include <gtest/gtest.h>

#include <regex>

namespace vo::test
{
namespace
{
using vo::diagnostics::DiagLog;

juce::File freshFolder (const juce::String& name)
{
    auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile ("zel-diag-" + name + "-" + juce::String (juce::Random::getSystemRandom().nextInt64()));
    folder.createDirectory();
    return folder;
}

juce::StringArray linesOf (const std::string& path)
{
    juce::StringArray lines;
    lines.addLines (juce::File (path).loadFileAsString());
    lines.removeEmptyStrings();
    return lines;
}

juce::String messageOf (const juce::String& line)
{
    return line.fromFirstOccurrenceOf ("] ", false, false);
}
} // namespace

TEST (DiagLog, OpensUnderVendorDiagFolderWithOneStartLine)
{
    const auto appData = freshFolder ("open");
    DiagLog log;
    log.setup ("velmora", "ZEL", appData.getFullPathName().toStdString());
    log.setup ("other", "Other", appData.getFullPathName().toStdString()); // later callers change nothing

    const auto expected = appData.getChildFile ("velmora/diag/ZEL-" + juce::String ((int) getpid()) + ".log");
    EXPECT_EQ (log.getLogPath(), expected.getFullPathName().toStdString());
    EXPECT_EQ (log.getProductName(), "ZEL");
    EXPECT_EQ (log.getVendorFolder(), "velmora");
    log.log ("hello %d", 42);

    const auto lines = linesOf (log.getLogPath());
    ASSERT_EQ (lines.size(), 2);
    EXPECT_EQ (messageOf (lines[0]), "=== session start ===");
    EXPECT_EQ (messageOf (lines[1]), "hello 42");
    const std::regex format (R"(^\d\d:\d\d:\d\d\.\d\d\d \[t[ \d]{4}\d+\] hello 42$)");
    EXPECT_TRUE (std::regex_match (lines[1].toStdString(), format)) << lines[1];
    appData.deleteRecursively();
}

TEST (DiagLog, LongMessagesAreCutTo511Characters)
{
    const auto appData = freshFolder ("cut");
    DiagLog log;
    log.setup ("velmora", "ZEL", appData.getFullPathName().toStdString());
    const std::string longText (600, 'x');
    log.log ("%s", longText.c_str());
    const auto lines = linesOf (log.getLogPath());
    ASSERT_EQ (lines.size(), 2);
    EXPECT_EQ (messageOf (lines[1]).length(), 511);
    appData.deleteRecursively();
}

TEST (DiagLog, FileStartsOverEmptyPastEightMebibytes)
{
    const auto appData = freshFolder ("reset");
    DiagLog log;
    log.setup ("velmora", "ZEL", appData.getFullPathName().toStdString());
    const std::string chunk (500, 'y');
    const juce::File file (log.getLogPath());
    juce::int64 largest = 0;
    for (int i = 0; i < 20000 && file.getSize() >= largest; ++i)
    {
        largest = std::max (largest, file.getSize());
        log.log ("%s", chunk.c_str());
    }
    EXPECT_GT (largest, DiagLog::kMaxFileBytes - 1000);
    EXPECT_LE (largest, DiagLog::kMaxFileBytes);
    EXPECT_EQ (file.getSize(), 0); // emptied right after the line that crossed the limit
    log.log ("after reset");
    const auto lines = linesOf (log.getLogPath());
    EXPECT_EQ (messageOf (lines[lines.size() - 1]), "after reset");
    EXPECT_FALSE (lines.joinIntoString ("\n").contains ("=== session start ==="));
    appData.deleteRecursively();
}

TEST (DiagLog, NoUsableFolderMeansNoFileAndNoCrash)
{
    DiagLog log;
    log.setup ("velmora", "ZEL", "");
    log.log ("nothing %s", "happens");
    EXPECT_FALSE (log.hasFile());

    DiagLog tooLong;
    tooLong.setup ("velmora", "ZEL", "/tmp/" + std::string (300, 'a'));
    EXPECT_FALSE (tooLong.hasFile());

    DiagLog blocked;
    const auto notAFolder = juce::File::createTempFile ("plain");
    notAFolder.replaceWithText ("x");
    blocked.setup ("velmora", "ZEL", notAFolder.getFullPathName().toStdString());
    blocked.log ("still fine");
    EXPECT_FALSE (blocked.hasFile());
    notAFolder.deleteFile();
}

TEST (DiagLog, ProcessorsWithoutHomeWorkAndWriteNothing)
{
    const auto home = juce::SystemStats::getEnvironmentVariable ("HOME", {});
    unsetenv ("HOME");
    {
        vo::plugins::zel::Processor a;
        vo::plugins::zel::Processor b;
        EXPECT_FALSE (DiagLog::instance().hasFile());
        EXPECT_EQ (a.getUserDataFolder(), juce::File());
        EXPECT_FALSE (a.getPresetManager().savePreset ("x"));
    }
    setenv ("HOME", home.toRawUTF8(), 1);
}

TEST (DiagLog, TwoProcessorsShareOneFileAndTheWatchdog)
{
    auto& log = DiagLog::instance();
    {
        vo::plugins::zel::Processor a;
        {
            vo::plugins::zel::Processor b;
            EXPECT_TRUE (log.isWatchdogRunning());
            EXPECT_EQ (log.processors.load(), 2);
        }
        EXPECT_TRUE (log.isWatchdogRunning());
    }
    EXPECT_FALSE (log.isWatchdogRunning());

    const auto lines = linesOf (log.getLogPath());
    int starts = 0, ctors = 0, dtors = 0;
    for (const auto& line : lines)
    {
        starts += messageOf (line) == "=== session start ===" ? 1 : 0;
        ctors += messageOf (line) == "processor CTOR ZEL v1.0.0" ? 1 : 0;
        dtors += messageOf (line) == "processor DTOR ZEL" ? 1 : 0;
    }
    EXPECT_EQ (starts, 1);
    EXPECT_EQ (ctors, 2);
    EXPECT_EQ (dtors, 2);
    EXPECT_EQ (messageOf (lines[lines.size() - 1]), "watchdog stopped");
    EXPECT_TRUE (log.getLogPath().find ("/.config/velmora/diag/ZEL-") != std::string::npos);
}

TEST (DiagLog, PrepareIsLoggedWithTheHostsBlockSize)
{
    vo::plugins::zel::Processor p;
    p.prepareToPlay (44100.0, 0);
    const auto lines = linesOf (DiagLog::instance().getLogPath());
    EXPECT_TRUE (lines.contains (lines[lines.size() - 1]));
    bool found = false;
    for (const auto& line : lines)
        found = found || messageOf (line) == "prepareToPlay sr=44100 block=0";
    EXPECT_TRUE (found);
}

} // namespace vo::test
