#pragma once

#include <juce_graphics/juce_graphics.h>

namespace vo::test
{

// Small questions about a rendered picture.
class PixelProbe
{
public:
    static bool isFullyTransparent (const juce::Image& picture);
    static int maxAlpha (const juce::Image& picture);
    static bool sameAs (const juce::Image& a, const juce::Image& b);

    // The unpremultiplied colour of the most opaque pixel.
    static juce::Colour mostOpaqueColour (const juce::Image& picture);
};

} // namespace vo::test
