// Fuzzes the published update document: decoding and parsing never crash, and
// an accepted release has a plain version and an installer on the maker's site.

#include "plugin/update/ReleaseParser.h"
#include "plugin/update/Version.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const juce::MemoryBlock body (data, size);
    const auto release = vo::plugins::zel::upd::parseRelease (vo::plugins::zel::upd::decodeDocument (body));
    if (release.version.isEmpty())
        return 0;

    if (vo::plugins::zel::upd::sanitiseVersion (release.version) != release.version)
        std::abort();
    if (! release.version.containsOnly ("0123456789."))
        std::abort();
    if (! vo::plugins::zel::upd::isMakerSiteAddress (release.installer))
        std::abort();
    return 0;
}
