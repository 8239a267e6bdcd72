#include "ReleaseParser.h"

#include "Version.h"
#include "core/Utf8Check.h"
#include "plugin/ProductInfo.h"

namespace vo::plugins::zel::upd
{

namespace
{
// Counts bracket depth and digit runs outside strings; cheap enough to run
// before parsing.
bool isNestingShallow (const juce::String& text)
{
    constexpr int kMaxDigitRun = 9;
    int depth = 0;
    int digitRun = 0;
    bool inString = false;
    bool escaped = false;

    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;
        if (inString || c < '0' || c > '9')
            digitRun = 0;

        if (inString)
        {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        }
        else if (c == '"')
        {
            inString = true;
            digitRun = 0;
        }
        else if (c >= '0' && c <= '9')
        {
            // The framework's reader overflows on long integers and exponents
            // (its exponent is an int); no field of ours is such a number.
            if (++digitRun > kMaxDigitRun)
                return false;
            continue;
        }
        else if (c == '[' || c == '{')
        {
            if (++depth > kMaxJsonNesting)
                return false;
        }
        else if (c == ']' || c == '}')
        {
            --depth;
        }
    }

    return true;
}

bool isVisibleAscii (const juce::String& text)
{
    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
        if (*p <= 0x20 || *p >= 0x7f)
            return false;

    return true;
}

// Numbers, objects and arrays are not what the document promises; they never
// turn into a version or an address by accident.
juce::String stringProperty (const juce::var& object, const char* name)
{
    const auto& value = object[name];
    return value.isString() ? value.toString() : juce::String();
}

juce::var productEntry (const juce::String& documentText)
{
    if (documentText.isEmpty() || ! isNestingShallow (documentText))
        return {};

    juce::var document;

    if (juce::JSON::parse (documentText, document).failed() || ! document.isObject())
        return {};

    const auto& entry = document[kProductKey];
    return entry.isObject() ? entry : juce::var();
}
} // namespace

juce::String decodeDocument (const juce::MemoryBlock& body)
{
    const auto* bytes = static_cast<const juce::uint8*> (body.getData());

    if (body.isEmpty() || ! core::Utf8Check::isWellFormed (bytes, body.getSize()))
        return {};

    return juce::String::fromUTF8 (static_cast<const char*> (body.getData()), (int) body.getSize());
}

bool isMakerSiteAddress (const juce::String& address)
{
    const juce::String site (product::kSiteName);
    const auto bare = "https://" + site + "/";
    const auto withWww = "https://www." + site + "/";

    return address.length() <= kMaxAddressLength
        && (address.startsWith (bare) || address.startsWith (withWww))
        && isVisibleAscii (address);
}

Release parseRelease (const juce::String& documentText)
{
    const auto entry = productEntry (documentText);

    if (! entry.isObject())
        return {};

    const auto version = sanitiseVersion (stringProperty (entry, "version").trim());
    const auto page = stringProperty (entry, "page");
    const auto installer = stringProperty (entry, "installer");

    if (version.isEmpty() || ! isMakerSiteAddress (installer))
        return {};

    return { version, isMakerSiteAddress (page) ? page : juce::String(), installer };
}

} // namespace vo::plugins::zel::upd
