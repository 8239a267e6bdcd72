// Fuzzes version texts: parsing never crashes, what is kept is the plain
// numeric form, and comparison is a strict order.

#include "plugin/update/Version.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace vo::plugins::zel::upd;
    const size_t half = size / 2;
    const auto a = juce::String::fromUTF8 (reinterpret_cast<const char*> (data), (int) half);
    const auto b = juce::String::fromUTF8 (reinterpret_cast<const char*> (data + half), (int) (size - half));

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
