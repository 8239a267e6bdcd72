// Version grammar and ordering: up to three capped numbers, suffixes ignored.

#include "plugin/update/Version.h"

#include <gtest/gtest.h>

namespace vo::test
{
namespace
{
using namespace vo::plugins::zel::upd;

void expectVersion (const juce::String& text, int major, int minor, int patch)
{
    const auto v = parseVersion (text);
    EXPECT_TRUE (v.valid) << text;
    EXPECT_EQ (v.major, major) << text;
    EXPECT_EQ (v.minor, minor) << text;
    EXPECT_EQ (v.patch, patch) << text;
}
} // namespace

TEST (UpdateVersion, MissingNumbersAreZero)
{
    expectVersion ("1.2", 1, 2, 0);
    expectVersion ("7", 7, 0, 0);
    expectVersion ("3.", 3, 0, 0);
}

TEST (UpdateVersion, SuffixesAndAFourthNumberEndTheParse)
{
    expectVersion ("2.0.1-beta", 2, 0, 1);
    expectVersion ("1.0.0.5", 1, 0, 0);
    expectVersion ("1.2.3 build 7", 1, 2, 3);
}

TEST (UpdateVersion, SurroundingBlanksAreTrimmed)
{
    expectVersion ("  1.4.2\r\n", 1, 4, 2);
}

TEST (UpdateVersion, TextNotStartingWithADigitIsInvalid)
{
    EXPECT_FALSE (parseVersion ("v2").valid);
    EXPECT_FALSE (parseVersion ("").valid);
    EXPECT_FALSE (parseVersion (".1.2").valid);
    EXPECT_FALSE (parseVersion ("-1.0").valid);
    EXPECT_EQ (parseVersion ("v2").toString(), "");
}

TEST (UpdateVersion, NumbersAreCappedNotOverflowed)
{
    expectVersion ("12345678901234567890.99999999999.1000000", 999999, 999999, 999999);
    expectVersion (juce::String::repeatedString ("9", 70000), 999999, 0, 0);
}

TEST (UpdateVersion, CanonicalTextIsThreeNumbers)
{
    EXPECT_EQ (parseVersion ("1.2").toString(), "1.2.0");
    EXPECT_EQ (sanitiseVersion ("2.0.1-beta\r\nlastCheck=1"), "2.0.1");
    EXPECT_EQ (sanitiseVersion ("junk"), "");
}

TEST (UpdateVersion, ComparisonOfThePublishedCases)
{
    EXPECT_TRUE (isNewer ("1.10.0", "1.9.9"));
    EXPECT_FALSE (isNewer ("1.9.9", "1.10.0"));
    EXPECT_FALSE (isNewer ("1.0", "1.0.0"));
    EXPECT_FALSE (isNewer ("1.0.0", "1.0"));
    EXPECT_FALSE (isNewer ("1.0.0.5", "1.0.0"));
    EXPECT_TRUE (isNewer ("1.1.0", "1.0.0"));
    EXPECT_TRUE (isNewer ("2", "1.99.99"));
    EXPECT_TRUE (isNewer ("1.0.1", "1.0.0"));
}

TEST (UpdateVersion, InvalidVersionsNeverWin)
{
    EXPECT_FALSE (isNewer ("v2", "1.0.0"));
    EXPECT_FALSE (isNewer ("", ""));
    EXPECT_TRUE (isNewer ("0.0.1", "beta"));
    EXPECT_TRUE (isNewer ("0", ""));
}

} // namespace vo::test
