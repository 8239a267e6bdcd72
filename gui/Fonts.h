#pragma once

#include <juce_graphics/juce_graphics.h>

namespace vo::gui
{

// Fonts of a given height (not point size) on the toolkit's two typefaces:
// display for captions, buttons and menus, text for labels and read-outs.
// Each call holds the shared TypefaceCache for its duration; fonts are cheap,
// build them at each paint.
juce::Font displayFont (float height);
juce::Font textFont (float height);

} // namespace vo::gui
