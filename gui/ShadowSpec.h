#pragma once

#include "melatonin/ShadowParameters.h"

#include <juce_graphics/juce_graphics.h>

namespace vo::gui
{

// One shadow recipe of a theme: a colour with its alpha, an integer blur
// radius and an offset, all in design pixels. Spread is always 0.
struct ShadowSpec
{
    juce::Colour colour { 0x00000000 };
    int radius = 8;
    int offsetX = 0;
    int offsetY = 2;

    // The recipe as one entry of a shadow list.
    melatonin::ShadowParameters toShadow (bool inner = false) const noexcept
    {
        return { colour, radius, { offsetX, offsetY }, 0, inner };
    }
};

} // namespace vo::gui
