// The freeze watchdog, driven through its real interfaces with the product's
// own clock and thresholds: a stalled user-interface heartbeat while an editor
// is open gives a report with every other thread's stack and a process dump.

#include "core/MessagePump.h"
#include "diagnostics/DiagLog.h"
#include "gui/EditorShell.h"
#include "platform/Platform.h"
#include "plugin/Processor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vo::test
{
using vo::diagnostics::DiagLog;

namespace
{
std::mutex blockMutex;
std::condition_variable blockRelease;
bool released = false;

void waitForRelease()
{
    std::unique_lock<std::mutex> lock (blockMutex);
    blockRelease.wait (lock, [] { return released; });
}

void releaseBlockedThreads()
{
    {
        std::lock_guard<std::mutex> lock (blockMutex);
        released = true;
    }
    blockRelease.notify_all();
}
} // namespace

// Exported (the test program is linked with its symbols visible) so that the
// report can name them.
extern "C" __attribute__ ((noinline, visibility ("default"))) void zelTestBlockedInHere()
{
    waitForRelease();
    asm volatile ("");
}

extern "C" __attribute__ ((noinline, visibility ("default"))) int zelTestRecurse (int depth)
{
    if (depth == 0)
    {
        waitForRelease();
        return 0;
    }
    const int below = zelTestRecurse (depth - 1);
    asm volatile ("");
    return below + 1;
}

namespace
{
// Plays the editor: opens, beats every 500 ms as the editor shell does,
// stops beating for a while, then beats again until closed.
class FakeEditor
{
public:
    explicit FakeEditor (int stallMs, int afterMs)
    {
        auto& log = DiagLog::instance();
        log.openEditors.fetch_add (1);
        log.lastUiHeartbeat.store (vo::platform::tickCountMs());
        beater = std::thread ([stallMs, afterMs, &log] {
            std::this_thread::sleep_for (std::chrono::milliseconds (stallMs));
            for (int elapsed = 0; elapsed < afterMs; elapsed += 500)
            {
                log.lastUiHeartbeat.store (vo::platform::tickCountMs());
                std::this_thread::sleep_for (std::chrono::milliseconds (500));
            }
        });
    }

    ~FakeEditor()
    {
        beater.join();
        DiagLog::instance().openEditors.fetch_sub (1);
    }

private:
    std::thread beater;
};

juce::StringArray logLines()
{
    juce::StringArray lines;
    lines.addLines (juce::File (DiagLog::instance().getLogPath()).loadFileAsString());
    lines.removeEmptyStrings();
    return lines;
}

juce::String messageOf (const juce::String& line)
{
    return line.fromFirstOccurrenceOf ("] ", false, false);
}

juce::StringArray reportsIn (const juce::StringArray& lines)
{
    juce::StringArray reports;
    for (const auto& line : lines)
        if (messageOf (line).startsWith ("!!! FREEZE DETECTED: UI-Thread seit "))
            reports.add (messageOf (line));
    return reports;
}

int stallMsOf (const juce::String& report)
{
    return report.fromFirstOccurrenceOf ("seit ", false, false).getIntValue();
}

// Frame lines of the stack section that mentions `marker`.
int framesInSectionWith (const juce::StringArray& lines, const juce::String& marker)
{
    for (int i = 0; i < lines.size(); ++i)
    {
        if (! messageOf (lines[i]).startsWith ("--- Stack Thread "))
            continue;
        int frames = 0;
        bool found = false;
        for (int j = i + 1; j < lines.size() && messageOf (lines[j]).startsWith ("    "); ++j, ++frames)
            found = found || lines[j].contains (marker);
        if (found)
            return frames;
    }
    return -1;
}
} // namespace

TEST (Watchdog, SixSecondStallGivesOneReportWithStacksAndADump)
{
    vo::plugins::zel::Processor processor;
    std::thread blocked (zelTestBlockedInHere);
    std::thread deep ([] { zelTestRecurse (60); });

    {
        FakeEditor editor (6000, 2500);
    }
    releaseBlockedThreads();
    blocked.join();
    deep.join();

    const auto lines = logLines();
    const auto reports = reportsIn (lines);
    ASSERT_EQ (reports.size(), 1) << lines.joinIntoString ("\n");
    EXPECT_GE (stallMsOf (reports[0]), 5000);
    EXPECT_LE (stallMsOf (reports[0]), 7000);
    EXPECT_TRUE (reports[0].contains ("ms ohne Herzschlag (Audio vor "));
    EXPECT_TRUE (reports[0].endsWith (", Editoren 1)"));
    EXPECT_TRUE (lines.joinIntoString ("\n").contains ("!!! Freeze-Daten geschrieben"));

    // The blocked thread's stack names the function it is blocked in; the deep
    // one is cut at 40 frames.
    EXPECT_GT (framesInSectionWith (lines, "zelTestBlockedInHere"), 0) << lines.joinIntoString ("\n");
    EXPECT_EQ (framesInSectionWith (lines, "zelTestRecurse"), 40);

    // The dump: an ELF core file next to the log, when gdb's gcore can attach here.
    juce::String dumpPath;
    for (const auto& line : lines)
        if (messageOf (line).startsWith ("Minidump: "))
            dumpPath = messageOf (line).fromFirstOccurrenceOf ("Minidump: ", false, false);

    const auto probe = juce::File::createTempFile ("core");
    const bool canDump = vo::platform::writeProcessDump (probe.getFullPathName().toStdString());
    probe.deleteFile();
    if (! canDump)
    {
        EXPECT_TRUE (dumpPath.isEmpty()); // nothing written, nothing said
        GTEST_SKIP() << "gcore cannot attach to this process here";
    }
    ASSERT_TRUE (dumpPath.isNotEmpty());
    const juce::File dump (dumpPath);
    EXPECT_TRUE (dump.existsAsFile());
    EXPECT_EQ (dump.getParentDirectory().getFullPathName().toStdString(), DiagLog::instance().getDiagnosticsFolder());
    EXPECT_TRUE (dump.getFileName().startsWith ("freeze-ZEL-" + juce::String ((int) getpid()) + "-"));
    juce::ChildProcess readelf;
    ASSERT_TRUE (readelf.start (juce::StringArray { "readelf", "-h", dumpPath }));
    EXPECT_TRUE (readelf.readAllProcessOutput().contains ("CORE (Core file)"));
}

// The real editor shell's heartbeat: while the message thread runs, an open
// editor never looks frozen; once it is blocked past the limit, it does.
TEST (Watchdog, OpenShellBeatsUntilItsMessageThreadIsBlocked)
{
    struct Editor : vo::gui::EditorShell
    {
        explicit Editor (vo::core::ProcessorBase& p) : EditorShell (p, {}, kDesignWidth, kDefaultDesignHeight) {}
    };

    vo::plugins::zel::Processor processor;
    {
        Editor editor (processor);
        vo::core::MessagePump::runFor (6500);
        EXPECT_TRUE (reportsIn (logLines()).isEmpty()) << "the shell beats every 500 ms";

        std::this_thread::sleep_for (std::chrono::milliseconds (6500));
        vo::core::MessagePump::runFor (1500);
    }

    const auto reports = reportsIn (logLines());
    ASSERT_EQ (reports.size(), 1) << logLines().joinIntoString ("\n");
    EXPECT_GE (stallMsOf (reports[0]), 5000);
    EXPECT_TRUE (reports[0].endsWith (", Editoren 1)"));
}

TEST (Watchdog, NoEditorMeansNoReport)
{
    vo::plugins::zel::Processor processor;
    auto& log = DiagLog::instance();
    log.lastUiHeartbeat.store (vo::platform::tickCountMs() - 60000);
    std::this_thread::sleep_for (std::chrono::milliseconds (7000));
    EXPECT_TRUE (reportsIn (logLines()).isEmpty());
}

TEST (WatchdogLong, FortySecondStallGivesTwoReportsThirtySecondsApart)
{
    vo::plugins::zel::Processor processor;
    {
        FakeEditor editor (40000, 1000);
    }

    const auto lines = logLines();
    const auto reports = reportsIn (lines);
    ASSERT_EQ (reports.size(), 2) << lines.joinIntoString ("\n");
    const int gap = stallMsOf (reports[1]) - stallMsOf (reports[0]);
    EXPECT_GE (gap, 30000);
    EXPECT_LE (gap, 32500);
}

} // namespace vo::test
