#pragma once

#include <juce_graphics/juce_graphics.h>

namespace melatonin
{

// One shadow of a shadow list. Radius, offset and spread are logical pixels;
// a positive spread grows a drop shadow's shape and shrinks an inner one's.
struct ShadowParameters
{
    juce::Colour colour {};
    int radius = 1;
    juce::Point<int> offset {};
    int spread = 0;
    bool inner = false;

    bool operator== (const ShadowParameters& other) const noexcept
    {
        return colour == other.colour && radius == other.radius && offset == other.offset
            && spread == other.spread && inner == other.inner;
    }
};

} // namespace melatonin
