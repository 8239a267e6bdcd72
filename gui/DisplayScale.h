#pragma once

#include <juce_graphics/juce_graphics.h>

namespace vo::gui::DisplayScale
{

// Cached pictures are rendered at the display's physical pixel scale, within
// these bounds: beyond them a picture would cost more memory than it shows.
inline constexpr float kMinimum = 0.25f;
inline constexpr float kMaximum = 8.0f;

// The context's physical pixels per logical pixel, clamped to the bounds above.
float of (juce::Graphics& g);

// round(logical × scale) pixels, at least 1.
int pixels (float logical, float scale);

// Draws a picture rendered at `scale` back at logical size with its top left at `origin`.
void drawAt (juce::Graphics& g, const juce::Image& picture, juce::Point<float> origin, float scale);

} // namespace vo::gui::DisplayScale
