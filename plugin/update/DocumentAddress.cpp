#include "DocumentAddress.h"

#include "ReleaseParser.h"
#include "plugin/ProductInfo.h"

namespace vo::plugins::zel::upd
{

namespace
{
bool isSecure (const juce::String& address) { return address.startsWithIgnoreCase ("https://"); }

bool hasWebScheme (const juce::String& address)
{
    return isSecure (address) || address.startsWithIgnoreCase ("http://");
}

bool isVisibleAscii (const juce::String& text)
{
    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
        if (*p <= 0x20 || *p >= 0x7f)
            return false;

    return true;
}

// "mailto:", "file:", "javascript:" …: a location naming any scheme is absolute,
// never a path to resolve against the current address.
bool hasScheme (const juce::String& location)
{
    const auto colon = location.indexOfChar (':');

    if (colon <= 0 || ! juce::CharacterFunctions::isLetter (location[0]))
        return false;

    for (int i = 1; i < colon; ++i)
    {
        const auto c = location[i];

        if (! (juce::CharacterFunctions::isLetterOrDigit (c) || c == '+' || c == '-' || c == '.'))
            return false;
    }

    return true;
}

// "scheme://host[:port]" of an address that passed isFetchableAddress.
juce::String originOf (const juce::String& address)
{
    const auto afterScheme = address.indexOf ("://") + 3;
    const auto pathStart = address.indexOfChar (afterScheme, '/');
    return pathStart < 0 ? address : address.substring (0, pathStart);
}

juce::String directoryOf (const juce::String& address)
{
    const auto origin = originOf (address);
    const auto path = address.substring (origin.length()).upToFirstOccurrenceOf ("?", false, false);
    return origin + path.upToLastOccurrenceOf ("/", true, false);
}

juce::String resolve (const juce::String& current, const juce::String& location)
{
    if (hasScheme (location))
        return location;

    if (location.startsWith ("//"))
        return current.upToFirstOccurrenceOf ("//", false, false) + location;

    if (location.startsWithChar ('/'))
        return originOf (current) + location;

    const auto directory = directoryOf (current);
    return directory.endsWithChar ('/') ? directory + location : directory + "/" + location;
}
} // namespace

juce::String builtInDocumentUrl()
{
    return "https://" + juce::String (product::kSiteName) + kDocumentPath;
}

bool isFetchableAddress (const juce::String& address)
{
    if (! hasWebScheme (address) || address.length() > kMaxAddressLength || ! isVisibleAscii (address))
        return false;

    const auto host = address.fromFirstOccurrenceOf ("://", false, false)
                          .upToFirstOccurrenceOf ("/", false, false);
    return host.isNotEmpty();
}

juce::String redirectTarget (const juce::String& current, const juce::String& location)
{
    const auto trimmed = location.trim();

    if (trimmed.isEmpty() || ! isFetchableAddress (current))
        return {};

    const auto target = resolve (current, trimmed);

    if (! isFetchableAddress (target) || (isSecure (current) && ! isSecure (target)))
        return {};

    return target;
}

bool isRedirectStatus (int statusCode)
{
    return statusCode == 301 || statusCode == 302 || statusCode == 303
        || statusCode == 307 || statusCode == 308;
}

} // namespace vo::plugins::zel::upd
