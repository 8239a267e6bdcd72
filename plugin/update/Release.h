#pragma once

#include <juce_core/juce_core.h>

namespace vo::plugins::zel::upd
{

// A published release as the update document lists it. Only addresses on the
// maker's own site ever get in here, and the version is already reduced to
// plain numbers, so the editor may show and open them as they are.
struct Release
{
    juce::String version;   // e.g. "1.2.0"; empty when no usable release was found
    juce::String page;      // release notes; may be empty even for a usable release
    juce::String installer; // where the browser downloads the installer

    bool isUsable() const { return version.isNotEmpty() && installer.isNotEmpty(); }
};

enum class Outcome
{
    available = 1, // a usable release newer than the running version
    upToDate = 2,  // a usable release that is not newer
    failed = 3     // no usable answer, whatever the reason
};

} // namespace vo::plugins::zel::upd
