#include "Version.h"

#include <tuple>

namespace vo::plugins::zel::upd
{

namespace
{
constexpr int kNumbersInVersion = 3;

bool isDigit (juce::juce_wchar c) { return c >= '0' && c <= '9'; }
} // namespace

juce::String Version::toString() const
{
    if (! valid)
        return {};

    return juce::String (major) + "." + juce::String (minor) + "." + juce::String (patch);
}

Version parseVersion (const juce::String& text)
{
    const auto trimmed = text.trim();
    Version version;

    if (! isDigit (trimmed[0]))
        return version;

    int numbers[kNumbersInVersion] = { 0, 0, 0 };
    int index = 0;
    bool sawDigit = false;

    for (auto p = trimmed.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;

        if (isDigit (c))
        {
            // Capped rather than overflowing: absurd numbers still compare sensibly.
            numbers[index] = juce::jmin (numbers[index] * 10 + (int) (c - '0'), Version::kMaxNumber);
            sawDigit = true;
        }
        else if (c == '.' && index + 1 < kNumbersInVersion)
        {
            ++index;
        }
        else
        {
            break;
        }
    }

    version.valid = sawDigit;
    version.major = numbers[0];
    version.minor = numbers[1];
    version.patch = numbers[2];
    return version;
}

bool isNewer (const Version& a, const Version& b)
{
    if (! a.valid)
        return false;

    if (! b.valid)
        return true;

    return std::tie (a.major, a.minor, a.patch) > std::tie (b.major, b.minor, b.patch);
}

bool isNewer (const juce::String& a, const juce::String& b)
{
    return isNewer (parseVersion (a), parseVersion (b));
}

juce::String sanitiseVersion (const juce::String& text)
{
    return parseVersion (text).toString();
}

} // namespace vo::plugins::zel::upd
