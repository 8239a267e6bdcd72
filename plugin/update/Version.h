#pragma once

#include <juce_core/juce_core.h>

namespace vo::plugins::zel::upd
{

// Versions are compared as three numbers only; any suffix ("-beta") is ignored.
struct Version
{
    static constexpr int kMaxNumber = 999999;

    bool valid = false;
    int major = 0;
    int minor = 0;
    int patch = 0;

    // "major.minor.patch"; empty for an invalid version. This bounded form is
    // the only thing of a version text that is ever shown or stored.
    juce::String toString() const;
};

Version parseVersion (const juce::String& text);

// Whether a is a later version than b. An invalid a is never newer; a valid a
// is newer than an invalid b.
bool isNewer (const juce::String& a, const juce::String& b);
bool isNewer (const Version& a, const Version& b);

// The version text reduced to its numbers ("2.0.1-beta" -> "2.0.1"), or empty.
juce::String sanitiseVersion (const juce::String& text);

} // namespace vo::plugins::zel::upd
