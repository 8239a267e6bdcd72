// Fuzzes version texts: parsing never crashes, what is kept is the plain
// numeric form, and comparison is a strict order.

#include "plugin/update/Version.h"

#include "core/Utf8Check.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace vo::plugins::zel::upd;
    // Version texts reach us as valid UTF-8 (the document reader checks it).
    if (! vo::core::Utf8Check::isWellFormed (data, size))
        return 0;
    const auto whole = juce::String::fromUTF8 (reinterpret_cast<const char*> (data), (int) size);
    const auto a = whole.substring (0, whole.length() / 2);
    const auto b = whole.substring (whole.length() / 2);

    const auto kept = sanitiseVersion (a);
    if (! kept.containsOnly ("0123456789.") || kept.length() > 64)
        std::abort();
    if (kept.isNotEmpty() && sanitiseVersion (kept) != kept)
        std::abort();
    if (isNewer (a, b) && isNewer (b, a))
        std::abort();
    if (isNewer (a, a))
        std::abort();
    return 0;
}
