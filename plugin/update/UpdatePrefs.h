#pragma once

#include <juce_core/juce_core.h>

namespace vo::plugins::zel::upd
{

// The update bookkeeping kept in "update.txt", shared by every instance of the
// plug-in for this user.
struct UpdatePrefs
{
    juce::int64 lastCheck = 0; // seconds since 1970 (UTC); 0 = never
    juce::String lastSeen;     // newest valid version the server listed; empty = none
    bool dontAsk = false;      // the user's "do not ask again"

    bool operator== (const UpdatePrefs& other) const
    {
        return lastCheck == other.lastCheck && lastSeen == other.lastSeen && dontAsk == other.dontAsk;
    }
};

} // namespace vo::plugins::zel::upd
