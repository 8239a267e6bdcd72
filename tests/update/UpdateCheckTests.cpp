// The update check end to end against a real HTTP server on the loopback
// interface: outcomes, bookkeeping, redirects, caps, cancellation and the
// address override.

#include "LoopbackServer.h"
#include "TestFolder.h"
#include "core/MessagePump.h"
#include "plugin/update/Check.h"
#include "plugin/update/PrefsFile.h"

#include <juce_events/juce_events.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>

namespace vo::test
{
namespace
{
using namespace vo::plugins::zel::upd;

constexpr const char* kPath = "/downloads/versions.json";
constexpr const char* kInstaller = "https://velmora.audio/downloads/ZEL-setup.exe";
constexpr const char* kPage = "https://velmora.audio/zel/releases";
constexpr int kGenerousWaitMs = 15000;

std::string documentFor (const std::string& version, const std::string& installer = kInstaller,
                         const std::string& page = kPage)
{
    return "{\"zel\":{\"version\":\"" + version + "\",\"page\":\"" + page + "\",\"installer\":\"" + installer + "\"}}";
}

LoopbackServer::Response ok (std::string body)
{
    LoopbackServer::Response response;
    response.body = std::move (body);
    return response;
}

struct Reported
{
    int calls = 0;
    Outcome outcome = Outcome::failed;
    Release release;
};

// Runs one check to its end and delivers whatever it posted.
Reported runToEnd (Check& check, bool manual)
{
    Reported reported;
    check.onResult = [&reported] (Outcome outcome, Release release)
    {
        ++reported.calls;
        reported.outcome = outcome;
        reported.release = std::move (release);
    };
    check.setManual (manual);
    EXPECT_TRUE (check.startThread (juce::Thread::Priority::background));
    EXPECT_TRUE (check.waitForThreadToExit (kGenerousWaitMs));
    vo::core::MessagePump::runFor (50);
    check.onResult = nullptr;
    return reported;
}

std::string fileBytes (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block.toString().toStdString();
}

void writeFile (const juce::File& file, const std::string& text)
{
    ASSERT_TRUE (file.replaceWithData (text.data(), text.size()));
}

// Sets or clears the override variable for one test and restores it after.
class ScopedOverride
{
public:
    explicit ScopedOverride (const std::optional<std::string>& value)
    {
        if (const char* old = std::getenv (Check::kUrlOverrideVariable))
            previous = old;
        apply (value);
    }
    ~ScopedOverride() { apply (previous); }

private:
    static void apply (const std::optional<std::string>& value)
    {
        if (value)
            ::setenv (Check::kUrlOverrideVariable, value->c_str(), 1);
        else
            ::unsetenv (Check::kUrlOverrideVariable);
    }

    std::optional<std::string> previous;
};

class UpdateCheckLoopback : public ::testing::Test
{
protected:
    std::unique_ptr<Check> makeCheck (const std::string& path = kPath)
    {
        return std::make_unique<Check> (folder.path(), "1.0.0", false, juce::String (server.url (path)));
    }

    PrefsFile prefsFile() const { return PrefsFile (folder.get()); }

    ScopedOverride noOverride { std::nullopt };
    TestFolder folder;
    LoopbackServer server;
};
} // namespace

TEST_F (UpdateCheckLoopback, NewerReleaseIsAvailableAndRemembered)
{
    server.serve (kPath, ok (documentFor ("1.2.0")));
    auto check = makeCheck();
    const auto before = Check::nowSeconds();

    const auto reported = runToEnd (*check, false);

    ASSERT_EQ (reported.calls, 1);
    EXPECT_EQ (reported.outcome, Outcome::available);
    EXPECT_EQ (reported.release.version, "1.2.0");
    EXPECT_EQ (reported.release.page, kPage);
    EXPECT_EQ (reported.release.installer, kInstaller);

    const auto stored = prefsFile().read();
    EXPECT_GE (stored.lastCheck, before);
    EXPECT_LE (stored.lastCheck, Check::nowSeconds());
    EXPECT_EQ (stored.lastSeen, "1.2.0");
    EXPECT_EQ (check->lastSeen(), "1.2.0");
    EXPECT_EQ (check->lastCheck(), stored.lastCheck);
    EXPECT_EQ (fileBytes (folder.prefsFile()),
               "lastCheck=" + std::to_string (stored.lastCheck) + "\r\nlastSeen=1.2.0\r\ndontAsk=0\r\n");
}

TEST_F (UpdateCheckLoopback, RequestIsAPlainGetWithOurUserAgent)
{
    server.serve (kPath, ok (documentFor ("1.2.0")));
    auto check = makeCheck();
    runToEnd (*check, true);

    const auto requests = server.requests();
    ASSERT_EQ (requests.size(), 1u);
    EXPECT_EQ (requests[0].rfind ("GET /downloads/versions.json HTTP/1.1\r\n", 0), 0u) << requests[0];
    EXPECT_EQ (vo::test::headerValue (requests[0], "User-Agent"), "ZEL/1.0.0 (velmora.audio; Linux)");
    EXPECT_EQ (juce::String (requests[0]).toLowerCase().indexOf ("user-agent:"),
               juce::String (requests[0]).toLowerCase().lastIndexOf ("user-agent:")); // ours replaces the default
    EXPECT_EQ (check->userAgentHeader(), "User-Agent: ZEL/1.0.0 (velmora.audio; Linux)");
}

TEST_F (UpdateCheckLoopback, SameVersionIsUpToDateAndRemembered)
{
    server.serve (kPath, ok (documentFor ("1.0.0")));
    auto check = makeCheck();

    const auto reported = runToEnd (*check, true);

    ASSERT_EQ (reported.calls, 1);
    EXPECT_EQ (reported.outcome, Outcome::upToDate);
    EXPECT_EQ (prefsFile().read().lastSeen, "1.0.0");
}

TEST_F (UpdateCheckLoopback, AutomaticCheckReportsOnlyAnAvailableUpdate)
{
    server.serve (kPath, ok (documentFor ("1.0.0")));
    auto check = makeCheck();

    const auto reported = runToEnd (*check, false);

    EXPECT_EQ (reported.calls, 0);
    EXPECT_GT (prefsFile().read().lastCheck, 0); // still counted as a check
}

TEST_F (UpdateCheckLoopback, NotFoundFailsAndLeavesTheFileUntouched)
{
    const std::string original = "lastCheck=123\r\nlastSeen=1.0.0\r\ndontAsk=0\r\n";
    writeFile (folder.prefsFile(), original);
    LoopbackServer::Response missing;
    missing.status = 404;
    missing.body = documentFor ("9.0.0"); // a body, but not the document
    server.serve (kPath, missing);
    auto check = makeCheck();

    const auto reported = runToEnd (*check, true);

    ASSERT_EQ (reported.calls, 1);
    EXPECT_EQ (reported.outcome, Outcome::failed);
    EXPECT_EQ (fileBytes (folder.prefsFile()), original);
    EXPECT_EQ (check->lastCheck(), 123);
}

TEST_F (UpdateCheckLoopback, ServerErrorFailsAndCreatesNoFile)
{
    LoopbackServer::Response broken;
    broken.status = 500;
    server.serve (kPath, broken);
    auto check = makeCheck();

    EXPECT_EQ (runToEnd (*check, true).outcome, Outcome::failed);
    EXPECT_FALSE (folder.prefsFile().exists());
}

TEST_F (UpdateCheckLoopback, BodyThatIsNotJsonFailsButCountsAsACheck)
{
    server.serve (kPath, ok ("<html><body>Maintenance</body></html>"));
    auto check = makeCheck();

    const auto reported = runToEnd (*check, true);

    EXPECT_EQ (reported.outcome, Outcome::failed);
    EXPECT_EQ (reported.release.version, "");
    const auto stored = prefsFile().read();
    EXPECT_GT (stored.lastCheck, 0);
    EXPECT_EQ (stored.lastSeen, "");
}

TEST_F (UpdateCheckLoopback, MissingZelEntryFails)
{
    server.serve (kPath, ok ("{\"other\":{\"version\":\"5.0.0\",\"installer\":\"" + std::string (kInstaller) + "\"}}"));
    auto check = makeCheck();

    EXPECT_EQ (runToEnd (*check, true).outcome, Outcome::failed);
    EXPECT_EQ (prefsFile().read().lastSeen, "");
}

TEST_F (UpdateCheckLoopback, InstallerOnAnotherHostFailsButUpdatesLastCheck)
{
    writeFile (folder.prefsFile(), "lastCheck=100\r\nlastSeen=1.0.0\r\ndontAsk=1\r\n");
    server.serve (kPath, ok (documentFor ("3.0.0", "https://downloads.example.com/ZEL-setup.exe")));
    auto check = makeCheck();

    const auto reported = runToEnd (*check, true);

    ASSERT_EQ (reported.calls, 1);
    EXPECT_EQ (reported.outcome, Outcome::failed);
    EXPECT_EQ (reported.release.installer, "");
    const auto stored = prefsFile().read();
    EXPECT_GT (stored.lastCheck, 100);
    EXPECT_EQ (stored.lastSeen, "1.0.0");
    EXPECT_TRUE (stored.dontAsk);
}

TEST_F (UpdateCheckLoopback, PageOnAnotherHostIsDroppedButTheUpdateStands)
{
    server.serve (kPath, ok (documentFor ("1.1.0", kInstaller, "https://tracker.example/zel")));
    auto check = makeCheck();

    const auto reported = runToEnd (*check, false);

    EXPECT_EQ (reported.outcome, Outcome::available);
    EXPECT_EQ (reported.release.page, "");
    EXPECT_EQ (reported.release.installer, kInstaller);
}

TEST_F (UpdateCheckLoopback, ConnectionRefusedFailsAndLeavesTheFileUntouched)
{
    const std::string original = "lastCheck=77\r\nlastSeen=\r\ndontAsk=0\r\n";
    writeFile (folder.prefsFile(), original);
    const auto refusing = "http://127.0.0.1:" + juce::String (LoopbackServer::closedPort()) + kPath;
    Check check (folder.path(), "1.0.0", false, refusing);

    const auto reported = runToEnd (check, true);

    ASSERT_EQ (reported.calls, 1);
    EXPECT_EQ (reported.outcome, Outcome::failed);
    EXPECT_EQ (fileBytes (folder.prefsFile()), original);
}

TEST_F (UpdateCheckLoopback, ServerThatNeverAnswersIsCancelledByDestroyingTheCheck)
{
    LoopbackServer::Response silent;
    silent.neverAnswer = true;
    server.serve (kPath, silent);

    int calls = 0;
    auto check = makeCheck();
    check->onResult = [&calls] (Outcome, Release) { ++calls; };
    check->setManual (true);
    check->startThread (juce::Thread::Priority::background);

    for (int waited = 0; server.requestCount() == 0 && waited < kGenerousWaitMs; waited += 10)
        juce::Thread::sleep (10);
    ASSERT_EQ (server.requestCount(), 1u);

    const auto started = juce::Time::getMillisecondCounterHiRes();
    check.reset();
    const auto destroyMs = juce::Time::getMillisecondCounterHiRes() - started;

    EXPECT_LT (destroyMs, Check::kStopTimeoutMs);
    vo::core::MessagePump::runFor (50);
    EXPECT_EQ (calls, 0);
    EXPECT_FALSE (folder.prefsFile().exists());
}

TEST_F (UpdateCheckLoopback, ResultQueuedForADestroyedCheckIsDropped)
{
    server.serve (kPath, ok (documentFor ("2.0.0")));
    int calls = 0;
    auto check = makeCheck();
    check->onResult = [&calls] (Outcome, Release) { ++calls; };
    check->setManual (true);
    check->startThread (juce::Thread::Priority::background);
    ASSERT_TRUE (check->waitForThreadToExit (kGenerousWaitMs)); // the result is posted, not yet delivered

    check.reset();
    vo::core::MessagePump::runFor (50);

    EXPECT_EQ (calls, 0);
    EXPECT_EQ (prefsFile().read().lastSeen, "2.0.0");
}

TEST_F (UpdateCheckLoopback, CallbackMayDestroyTheCheck)
{
    server.serve (kPath, ok (documentFor ("2.0.0")));
    auto check = makeCheck();
    int calls = 0;
    check->onResult = [&] (Outcome, Release) { ++calls; check.reset(); };
    check->startThread (juce::Thread::Priority::background);
    ASSERT_TRUE (check->waitForThreadToExit (kGenerousWaitMs));
    vo::core::MessagePump::runFor (50);

    EXPECT_EQ (calls, 1);
    EXPECT_EQ (check, nullptr);
}

TEST_F (UpdateCheckLoopback, BodyOverTheCapIsCut)
{
    // The same document is fine with small padding and broken once the cap cuts it.
    const auto padded = [] (std::size_t padding)
    {
        return "{\"zel\":{\"version\":\"1.5.0\",\"installer\":\"" + std::string (kInstaller) + "\"},\"pad\":\""
             + std::string (padding, 'p') + "\"}";
    };
    server.serve ("/small.json", ok (padded (20 * 1024)));
    server.serve ("/huge.json", ok (padded (200 * 1024)));

    auto small = makeCheck ("/small.json");
    EXPECT_EQ (runToEnd (*small, true).outcome, Outcome::available);

    folder.prefsFile().deleteFile();
    auto huge = makeCheck ("/huge.json");
    const auto reported = runToEnd (*huge, true);
    EXPECT_EQ (reported.outcome, Outcome::failed);
    const auto stored = prefsFile().read();
    EXPECT_GT (stored.lastCheck, 0); // a body arrived, just not a usable one
    EXPECT_EQ (stored.lastSeen, "");
}

TEST_F (UpdateCheckLoopback, TwoRedirectsAreFollowed)
{
    server.serveRedirect (kPath, "/hop1");
    server.serveRedirect ("/hop1", server.url ("/final.json"), 301);
    server.serve ("/final.json", ok (documentFor ("1.3.0")));
    auto check = makeCheck();

    const auto reported = runToEnd (*check, true);

    EXPECT_EQ (reported.outcome, Outcome::available);
    EXPECT_EQ (reported.release.version, "1.3.0");
    EXPECT_EQ (server.requestCount(), 3u);
}

TEST_F (UpdateCheckLoopback, AThirdRedirectIsNotFollowed)
{
    server.serveRedirect (kPath, "/hop1");
    server.serveRedirect ("/hop1", "/hop2");
    server.serveRedirect ("/hop2", "/final.json");
    server.serve ("/final.json", ok (documentFor ("1.3.0")));
    auto check = makeCheck();

    EXPECT_EQ (runToEnd (*check, true).outcome, Outcome::failed);
    EXPECT_EQ (server.requestCount(), 3u);
    EXPECT_FALSE (folder.prefsFile().exists());
}

TEST_F (UpdateCheckLoopback, RedirectOutOfTheWebIsRefused)
{
    server.serveRedirect (kPath, "file:///etc/passwd");
    auto check = makeCheck();

    EXPECT_EQ (runToEnd (*check, true).outcome, Outcome::failed);
    EXPECT_EQ (server.requestCount(), 1u);
}

TEST_F (UpdateCheckLoopback, OverrideVariableIsIgnoredUnlessAllowed)
{
    LoopbackServer other;
    server.serve (kPath, ok (documentFor ("1.1.0")));
    other.serve (kPath, ok (documentFor ("1.9.0")));
    const ScopedOverride variable (other.url (kPath));

    Check hosted (folder.path(), "1.0.0", false, juce::String (server.url (kPath)));
    EXPECT_EQ (hosted.updateUrl(), juce::String (server.url (kPath)));
    EXPECT_EQ (runToEnd (hosted, true).release.version, "1.1.0");
    EXPECT_EQ (other.requestCount(), 0u);

    Check standalone (folder.path(), "1.0.0", true, juce::String (server.url (kPath)));
    EXPECT_EQ (standalone.updateUrl(), juce::String (other.url (kPath)));
    EXPECT_EQ (runToEnd (standalone, true).release.version, "1.9.0");
    EXPECT_EQ (other.requestCount(), 1u);
    EXPECT_EQ (server.requestCount(), 1u);
}

TEST_F (UpdateCheckLoopback, DeeplyNestedDocumentFailsWithoutHarm)
{
    server.serve (kPath, ok (std::string (60000, '[')));
    auto check = makeCheck();
    EXPECT_EQ (runToEnd (*check, true).outcome, Outcome::failed);
}

TEST_F (UpdateCheckLoopback, BinaryJunkBodyFailsWithoutHarm)
{
    std::string junk;
    juce::Random random (11);
    for (int i = 0; i < 30000; ++i)
        junk.push_back ((char) random.nextInt (256));
    server.serve (kPath, ok (junk));
    auto check = makeCheck();

    EXPECT_EQ (runToEnd (*check, true).outcome, Outcome::failed);
    EXPECT_EQ (prefsFile().read().lastSeen, "");
}

TEST_F (UpdateCheckLoopback, HostileVersionTextIsStoredOnlyAsAPlainVersion)
{
    server.serve (kPath, ok (documentFor ("1.2.3\\r\\nlastCheck=99999999999\\r\\ndontAsk=1" + std::string (5000, ' ') + "x")));
    auto check = makeCheck();

    const auto reported = runToEnd (*check, true);

    EXPECT_EQ (reported.outcome, Outcome::available);
    EXPECT_EQ (reported.release.version, "1.2.3");
    const auto stored = fileBytes (folder.prefsFile());
    EXPECT_EQ (stored, "lastCheck=" + std::to_string (prefsFile().read().lastCheck) + "\r\nlastSeen=1.2.3\r\ndontAsk=0\r\n");
}

TEST_F (UpdateCheckLoopback, AbsurdVersionNumbersAreCapped)
{
    server.serve (kPath, ok (documentFor (std::string (5000, '9'))));
    auto check = makeCheck();

    const auto reported = runToEnd (*check, true);

    EXPECT_EQ (reported.outcome, Outcome::available);
    EXPECT_EQ (prefsFile().read().lastSeen, "999999.0.0");
}

} // namespace vo::test
