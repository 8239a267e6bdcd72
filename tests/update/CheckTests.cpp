// The check's own bookkeeping and configuration, without any network access.

#include "TestFolder.h"
#include "plugin/update/Check.h"
#include "plugin/update/PrefsFile.h"
#include "plugin/update/Version.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vo::test
{
namespace
{
using namespace vo::plugins::zel::upd;

void writeFile (const juce::File& file, const std::string& text)
{
    ASSERT_TRUE (file.replaceWithData (text.data(), text.size()));
}

std::string fileBytes (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block.toString().toStdString();
}
} // namespace

TEST (UpdateCheck, BuiltInAddressIsUsedByDefault)
{
    ::unsetenv (Check::kUrlOverrideVariable);
    TestFolder folder;
    EXPECT_EQ (Check (folder.path(), "1.0.0", false).updateUrl(), "https://velmora.audio/downloads/versions.json");
    EXPECT_EQ (Check (folder.path(), "1.0.0", true).updateUrl(), "https://velmora.audio/downloads/versions.json");
}

TEST (UpdateCheck, OverrideVariableOnlyCountsWhenAllowedAndNotEmpty)
{
    TestFolder folder;
    ::setenv (Check::kUrlOverrideVariable, "http://127.0.0.1:1/x.json", 1);
    EXPECT_EQ (Check (folder.path(), "1.0.0", false).updateUrl(), "https://velmora.audio/downloads/versions.json");
    EXPECT_EQ (Check (folder.path(), "1.0.0", true).updateUrl(), "http://127.0.0.1:1/x.json");

    ::setenv (Check::kUrlOverrideVariable, "", 1);
    EXPECT_EQ (Check (folder.path(), "1.0.0", true).updateUrl(), "https://velmora.audio/downloads/versions.json");
    ::unsetenv (Check::kUrlOverrideVariable);
}

TEST (UpdateCheck, UserAgentNamesProductVersionSiteAndSystem)
{
    TestFolder folder;
    EXPECT_EQ (Check (folder.path(), "1.0.0", false).userAgentHeader(), "User-Agent: ZEL/1.0.0 (velmora.audio; Linux)");
    EXPECT_EQ (Check (folder.path(), "1.0.0\r\nX-Evil: 1", false).userAgentHeader(),
               "User-Agent: ZEL/1.0.0X-Evil:1 (velmora.audio; Linux)");
}

TEST (UpdateCheck, NowIsSecondsSince1970)
{
    const auto now = Check::nowSeconds();
    EXPECT_NEAR ((double) now, (double) (juce::Time::currentTimeMillis() / 1000), 2.0);
    EXPECT_GT (now, 1700000000);
}

TEST (UpdateCheck, LoadsBookkeepingAtConstruction)
{
    // The published example: checked 50 000 s ago, 1.1.0 seen, asking allowed.
    TestFolder folder;
    const auto lastCheck = Check::nowSeconds() - 50000;
    writeFile (folder.prefsFile(), "lastCheck=" + std::to_string (lastCheck) + "\r\nlastSeen=1.1.0\r\ndontAsk=0\r\n");

    Check check (folder.path(), "1.0.0", false);

    EXPECT_EQ (check.lastCheck(), lastCheck);
    EXPECT_EQ (check.lastSeen(), "1.1.0");
    EXPECT_FALSE (check.dontAsk());
    EXPECT_TRUE (isNewer (check.lastSeen(), "1.0.0"));
    EXPECT_LT (Check::nowSeconds() - check.lastCheck(), 86399); // no automatic check due
}

TEST (UpdateCheck, SetDontAskPersistsAndKeepsTheOtherFields)
{
    TestFolder folder;
    Check check (folder.path(), "1.0.0", false);

    // Another instance wrote meanwhile; its bookkeeping must survive.
    writeFile (folder.prefsFile(), "lastCheck=555\r\nlastSeen=1.4.0\r\ndontAsk=0\r\n");
    check.setDontAsk (true);

    EXPECT_TRUE (check.dontAsk());
    EXPECT_EQ (check.lastCheck(), 555);
    EXPECT_EQ (check.lastSeen(), "1.4.0");
    EXPECT_EQ (fileBytes (folder.prefsFile()), "lastCheck=555\r\nlastSeen=1.4.0\r\ndontAsk=1\r\n");

    check.setDontAsk (false);
    EXPECT_FALSE (check.dontAsk());
    EXPECT_EQ (fileBytes (folder.prefsFile()), "lastCheck=555\r\nlastSeen=1.4.0\r\ndontAsk=0\r\n");
}

TEST (UpdateCheck, SetDontAskToTheCurrentValueWritesNothing)
{
    TestFolder folder;
    Check check (folder.path(), "1.0.0", false);
    check.setDontAsk (false);
    EXPECT_FALSE (folder.prefsFile().exists());
}

TEST (UpdateCheck, UnwritableFileKeepsTheValuesReadBack)
{
    TestFolder folder;
    folder.prefsFile().getChildFile ("blocker").createDirectory();
    Check check (folder.path(), "1.0.0", false);
    check.setDontAsk (true);
    EXPECT_FALSE (check.dontAsk());
}

TEST (UpdateCheck, DestroyingAnIdleCheckIsImmediate)
{
    TestFolder folder;
    const auto started = juce::Time::getMillisecondCounterHiRes();
    {
        Check check (folder.path(), "1.0.0", false);
    }
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 1000.0);
}

} // namespace vo::test
