#pragma once

#include "ThreeSliceCache.h"

#include <juce_graphics/juce_graphics.h>

namespace vo::gui
{

// Draws `image` into `bounds`, stretching only its middle horizontally and
// keeping `capWidth` source pixels at each end undistorted. With a cache the
// stretched copy is made once per size and display scale.
void drawThreeSliceImage (juce::Graphics& g, const juce::Image& image, juce::Rectangle<int> bounds,
                          int capWidth, ThreeSliceCache* cache);

} // namespace vo::gui
