// The update document scripts/package published, read the way the plug-in
// reads it: it must name this build's version and the installer next to it,
// and the same document for a newer version must make the check report an
// update. The folder holding the release is named by ZEL_DIST_DIR.

#include "../update/LoopbackServer.h"
#include "../update/TestFolder.h"
#include "core/MessagePump.h"
#include "plugin/ProductInfo.h"
#include "plugin/update/Check.h"
#include "plugin/update/DocumentAddress.h"
#include "plugin/update/ReleaseParser.h"
#include "plugin/update/Version.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vo::test
{
namespace
{
using namespace vo::plugins::zel;

constexpr int kGenerousWaitMs = 15000;

juce::File distFolder()
{
    const char* dist = std::getenv ("ZEL_DIST_DIR");
    return dist != nullptr ? juce::File (dist) : juce::File();
}

juce::String publishedDocument()
{
    const auto name = juce::String (upd::kDocumentPath).fromLastOccurrenceOf ("/", false, false);
    juce::MemoryBlock bytes;
    distFolder().getChildFile (name).loadFileAsData (bytes);
    return upd::decodeDocument (bytes);
}

juce::String withVersion (const juce::String& document, const juce::String& version)
{
    auto parsed = juce::JSON::parse (document);
    if (auto* entry = parsed[upd::kProductKey].getDynamicObject())
        entry->setProperty ("version", version);
    return juce::JSON::toString (parsed);
}

juce::String nextMajorVersion()
{
    return juce::String (upd::parseVersion (product::kVersion).major + 1) + ".0.0";
}

struct Reported
{
    int calls = 0;
    upd::Outcome outcome = upd::Outcome::failed;
    upd::Release release;
};

Reported checkAgainst (const juce::String& document)
{
    LoopbackServer server;
    LoopbackServer::Response response;
    response.body = document.toStdString();
    server.serve (upd::kDocumentPath, response);

    TestFolder folder;
    upd::Check check (folder.path(), product::kVersion, false, juce::String (server.url (upd::kDocumentPath)));
    Reported reported;
    check.onResult = [&reported] (upd::Outcome outcome, upd::Release release)
    {
        ++reported.calls;
        reported.outcome = outcome;
        reported.release = std::move (release);
    };
    check.setManual (true);
    EXPECT_TRUE (check.startThread (juce::Thread::Priority::background));
    EXPECT_TRUE (check.waitForThreadToExit (kGenerousWaitMs));
    vo::core::MessagePump::runFor (50);
    return reported;
}
} // namespace

TEST (ReleaseDocument, NamesThisVersionAndThePublishedInstaller)
{
    ASSERT_TRUE (distFolder().isDirectory()) << "ZEL_DIST_DIR must name the release folder";
    const auto release = upd::parseRelease (publishedDocument());

    ASSERT_TRUE (release.isUsable());
    EXPECT_EQ (release.version, product::kVersion);
    EXPECT_TRUE (upd::isMakerSiteAddress (release.page)) << release.page;

    const auto documentFolder = upd::builtInDocumentUrl().upToLastOccurrenceOf ("/", true, false);
    EXPECT_TRUE (release.installer.startsWith (documentFolder)) << release.installer;
    const auto installerName = release.installer.fromLastOccurrenceOf ("/", false, false);
    EXPECT_TRUE (distFolder().getChildFile (installerName).existsAsFile()) << installerName;
}

TEST (ReleaseDocument, ThisVersionIsUpToDate)
{
    const auto reported = checkAgainst (publishedDocument());

    ASSERT_EQ (reported.calls, 1);
    EXPECT_EQ (reported.outcome, upd::Outcome::upToDate);
}

TEST (ReleaseDocument, ANewerVersionIsReportedAvailable)
{
    const auto published = upd::parseRelease (publishedDocument());
    const auto reported = checkAgainst (withVersion (publishedDocument(), nextMajorVersion()));

    ASSERT_EQ (reported.calls, 1);
    EXPECT_EQ (reported.outcome, upd::Outcome::available);
    EXPECT_EQ (reported.release.version, nextMajorVersion());
    EXPECT_EQ (reported.release.installer, published.installer);
}

} // namespace vo::test
