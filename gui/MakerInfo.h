#pragma once

#include <juce_core/juce_core.h>

namespace vo::gui
{

// Who makes the product, as the toolkit's header and footer show it. The
// toolkit knows no maker of its own: the product's editor fills this in.
struct MakerInfo
{
    juce::String name;          // "velmora"
    juce::String byline;        // "by velmora"
    juce::String website;       // opened by the settings menu's site item
    juce::String supportEmail;  // opened as a mail link by the support item
};

} // namespace vo::gui
