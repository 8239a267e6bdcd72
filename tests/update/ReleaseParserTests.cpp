// Reading the published document: the "zel" entry, the maker-site rule for
// addresses, and hostile documents that must come out as "no release".

#include "plugin/update/BodyReader.h"
#include "plugin/update/DocumentAddress.h"
#include "plugin/update/ReleaseParser.h"

#include <gtest/gtest.h>

namespace vo::test
{
namespace
{
using namespace vo::plugins::zel::upd;

juce::String document (const juce::String& version, const juce::String& page, const juce::String& installer)
{
    return "{\"zel\":{\"version\":\"" + version + "\",\"page\":\"" + page + "\",\"installer\":\"" + installer + "\"}}";
}

const juce::String kInstaller = "https://velmora.audio/downloads/ZEL-1.2.0-setup.exe";
const juce::String kPage = "https://velmora.audio/zel/releases/1.2.0";

juce::MemoryBlock bytesOf (const std::string& text)
{
    return { text.data(), text.size() };
}
} // namespace

TEST (UpdateReleaseParser, ReadsTheZelEntry)
{
    const auto release = parseRelease (document (" 1.2.0 ", kPage, kInstaller));
    EXPECT_EQ (release.version, "1.2.0");
    EXPECT_EQ (release.page, kPage);
    EXPECT_EQ (release.installer, kInstaller);
    EXPECT_TRUE (release.isUsable());
}

TEST (UpdateReleaseParser, OtherProductsAndExtraFieldsAreIgnored)
{
    const auto text = "{\"other\":{\"version\":\"9.0.0\"},\"zel\":{\"version\":\"1.2\",\"installer\":\"" + kInstaller
                    + "\",\"notes\":[1,2,3]},\"extra\":true}";
    const auto release = parseRelease (text);
    EXPECT_EQ (release.version, "1.2.0");
    EXPECT_EQ (release.page, "");
    EXPECT_EQ (release.installer, kInstaller);
}

TEST (UpdateReleaseParser, WwwFormOfTheSiteIsAccepted)
{
    const auto release = parseRelease (document ("1.2.0", "https://www.velmora.audio/p", "https://www.velmora.audio/i.exe"));
    EXPECT_EQ (release.page, "https://www.velmora.audio/p");
    EXPECT_EQ (release.installer, "https://www.velmora.audio/i.exe");
}

TEST (UpdateReleaseParser, InstallerOffTheSiteEmptiesTheWholeRelease)
{
    for (const auto* installer : { "https://evil.example/velmora.audio/setup.exe",
                                   "http://velmora.audio/setup.exe",
                                   "https://velmora.audio.evil.example/setup.exe",
                                   "https://velmora.audio@evil.example/setup.exe",
                                   "https://velmora.audio",
                                   "HTTPS://VELMORA.AUDIO/setup.exe",
                                   "file:///C:/Windows/system32/calc.exe",
                                   "" })
    {
        const auto release = parseRelease (document ("1.2.0", kPage, installer));
        EXPECT_FALSE (release.isUsable()) << installer;
        EXPECT_EQ (release.version, "") << installer;
        EXPECT_EQ (release.page, "") << installer;
    }
}

TEST (UpdateReleaseParser, PageOffTheSiteIsDroppedAlone)
{
    const auto release = parseRelease (document ("1.2.0", "https://elsewhere.example/zel", kInstaller));
    EXPECT_TRUE (release.isUsable());
    EXPECT_EQ (release.page, "");
}

TEST (UpdateReleaseParser, AddressesWithBlanksOrControlCharactersAreRefused)
{
    EXPECT_FALSE (isMakerSiteAddress ("https://velmora.audio/a b"));
    EXPECT_FALSE (isMakerSiteAddress ("https://velmora.audio/a\\r\\nb"
                                      + juce::String::charToString ('\n')));
    EXPECT_FALSE (isMakerSiteAddress ("https://velmora.audio/" + juce::String::repeatedString ("a", 3000)));
    EXPECT_FALSE (isMakerSiteAddress (juce::String::fromUTF8 ("https://velmora.audio/\xc3\xa9")));
    EXPECT_TRUE (isMakerSiteAddress ("https://velmora.audio/x?y=1&z=%20"));
}

TEST (UpdateReleaseParser, InvalidVersionEmptiesTheRelease)
{
    EXPECT_FALSE (parseRelease (document ("v1.2.0", kPage, kInstaller)).isUsable());
    EXPECT_FALSE (parseRelease (document ("", kPage, kInstaller)).isUsable());
}

TEST (UpdateReleaseParser, VersionIsReducedToItsNumbers)
{
    EXPECT_EQ (parseRelease (document ("2.0.1-beta\\r\\ndontAsk=1", kPage, kInstaller)).version, "2.0.1");
    const auto absurd = juce::String::repeatedString ("7", 20000) + ".1";
    EXPECT_EQ (parseRelease (document (absurd, kPage, kInstaller)).version, "999999.1.0");
}

TEST (UpdateReleaseParser, WrongTypesGiveNoRelease)
{
    EXPECT_FALSE (parseRelease ("{\"zel\":{\"version\":1.2,\"installer\":\"" + kInstaller + "\"}}").isUsable());
    EXPECT_FALSE (parseRelease ("{\"zel\":{\"version\":\"1.2\",\"installer\":[\"" + kInstaller + "\"]}}").isUsable());
    EXPECT_FALSE (parseRelease ("{\"zel\":{\"version\":{\"a\":1},\"installer\":{}}}").isUsable());
    EXPECT_FALSE (parseRelease ("{\"zel\":\"1.2.0\"}").isUsable());
    EXPECT_FALSE (parseRelease ("{\"zel\":[1,2]}").isUsable());
    EXPECT_FALSE (parseRelease ("[{\"zel\":{}}]").isUsable());
    EXPECT_FALSE (parseRelease ("\"zel\"").isUsable());
    EXPECT_FALSE (parseRelease ("12").isUsable());
}

TEST (UpdateReleaseParser, MalformedDocumentsGiveNoRelease)
{
    EXPECT_FALSE (parseRelease ("").isUsable());
    EXPECT_FALSE (parseRelease ("<html>Not found</html>").isUsable());
    EXPECT_FALSE (parseRelease (document ("1.2.0", kPage, kInstaller).dropLastCharacters (1)).isUsable());
    EXPECT_FALSE (parseRelease ("{\"zel\":{\"version\":\"1.2.0\",\"installer\":\"" + kInstaller).isUsable());
    EXPECT_FALSE (parseRelease ("{\"nothing\":{}}").isUsable());
}

TEST (UpdateReleaseParser, DeepNestingIsRefusedBeforeParsing)
{
    EXPECT_FALSE (parseRelease (juce::String::repeatedString ("[", 65536)).isUsable());
    EXPECT_FALSE (parseRelease (juce::String::repeatedString ("{\"a\":", 20000) + "1"
                                + juce::String::repeatedString ("}", 20000)).isUsable());

    // Brackets inside strings do not count.
    const auto quoted = "{\"x\":\"" + juce::String::repeatedString ("[{", 500) + "\",\"zel\":{\"version\":\"1.2.0\",\"installer\":\""
                      + kInstaller + "\"}}";
    EXPECT_TRUE (parseRelease (quoted).isUsable());
}

TEST (UpdateReleaseParser, DocumentBytesMustBeWellFormedUtf8)
{
    EXPECT_EQ (decodeDocument (bytesOf ("{\"a\":\"caf\xc3\xa9\"}")), juce::String::fromUTF8 ("{\"a\":\"caf\xc3\xa9\"}"));
    EXPECT_EQ (decodeDocument (bytesOf ("{\"a\":\"\xff\"}")), "");
    EXPECT_EQ (decodeDocument (bytesOf ("{\"a\":\"\xc3")), "");           // cut in the middle of a character
    EXPECT_EQ (decodeDocument (bytesOf ("\xc0\xaf")), "");                 // overlong
    EXPECT_EQ (decodeDocument (bytesOf ("\xed\xa0\x80")), "");             // surrogate
    EXPECT_EQ (decodeDocument (bytesOf (std::string ("{}\0{}", 5))), "");  // NUL
    EXPECT_EQ (decodeDocument ({}), "");
}

TEST (UpdateDocumentAddress, BuiltInAddressIsHttpsOnTheMakersSite)
{
    EXPECT_EQ (builtInDocumentUrl(), "https://velmora.audio/downloads/versions.json");
}

TEST (UpdateDocumentAddress, OnlyWebAddressesAreFetched)
{
    EXPECT_TRUE (isFetchableAddress ("https://velmora.audio/downloads/versions.json"));
    EXPECT_TRUE (isFetchableAddress ("http://127.0.0.1:8080/v.json"));
    EXPECT_FALSE (isFetchableAddress ("file:///etc/passwd"));
    EXPECT_FALSE (isFetchableAddress ("ftp://velmora.audio/v.json"));
    EXPECT_FALSE (isFetchableAddress ("https:///nohost"));
    EXPECT_FALSE (isFetchableAddress ("https://velmora.audio/a b"));
    EXPECT_FALSE (isFetchableAddress ("velmora.audio/v.json"));
    EXPECT_FALSE (isFetchableAddress (""));
}

TEST (UpdateDocumentAddress, RedirectsResolveRelativeLocations)
{
    const juce::String from = "http://127.0.0.1:9/downloads/versions.json?x=1";
    EXPECT_EQ (redirectTarget (from, "/next.json"), "http://127.0.0.1:9/next.json");
    EXPECT_EQ (redirectTarget (from, "next.json"), "http://127.0.0.1:9/downloads/next.json");
    EXPECT_EQ (redirectTarget (from, "//other.example/a"), "http://other.example/a");
    EXPECT_EQ (redirectTarget (from, "https://velmora.audio/v.json"), "https://velmora.audio/v.json");
    EXPECT_EQ (redirectTarget ("http://127.0.0.1:9", "a.json"), "http://127.0.0.1:9/a.json");
}

TEST (UpdateDocumentAddress, RedirectsNeverStepDownFromHttpsOrLeaveTheWeb)
{
    const juce::String from = "https://velmora.audio/downloads/versions.json";
    EXPECT_EQ (redirectTarget (from, "http://velmora.audio/downloads/versions.json"), "");
    EXPECT_EQ (redirectTarget (from, "file:///etc/passwd"), "");
    EXPECT_EQ (redirectTarget (from, ""), "");
    EXPECT_EQ (redirectTarget (from, "https://cdn.velmora.audio/v.json"), "https://cdn.velmora.audio/v.json");
    EXPECT_EQ (redirectTarget (from, "/v2.json"), "https://velmora.audio/v2.json");
}

TEST (UpdateBodyReader, StopsAtTheCap)
{
    const std::string big (100 * 1024, 'x');
    juce::MemoryInputStream stream (big.data(), big.size(), false);
    const auto body = readCappedBody (stream, [] { return false; });
    EXPECT_GE (body.getSize(), kMaxBodyBytes);
    EXPECT_LT (body.getSize(), kMaxBodyBytes + (size_t) kReadChunkBytes);
}

TEST (UpdateBodyReader, ReadsSmallBodiesWhole)
{
    const std::string small (5000, 'y');
    juce::MemoryInputStream stream (small.data(), small.size(), false);
    EXPECT_EQ (readCappedBody (stream, [] { return false; }).toString(), juce::String (small));
}

TEST (UpdateBodyReader, StopRequestEmptiesTheBody)
{
    const std::string text (10000, 'z');
    juce::MemoryInputStream stream (text.data(), text.size(), false);
    int reads = 0;
    EXPECT_EQ (readCappedBody (stream, [&] { return ++reads == 2; }).getSize(), 0u);
}

} // namespace vo::test
