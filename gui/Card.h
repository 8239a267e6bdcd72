#pragma once

#include "Theme.h"
#include "melatonin/CachedShadows.h"

#include <juce_graphics/juce_graphics.h>

namespace vo::gui
{

// A card: the rounded rectangle of `bounds` with the theme's large radius,
// its shadow (when given) under it, filled in cardBackground and outlined
// with a hairline.
void drawCard (juce::Graphics& g, juce::Rectangle<float> bounds, const Theme& theme,
               melatonin::internal::CachedShadows* shadow);

} // namespace vo::gui
