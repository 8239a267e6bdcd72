#pragma once

#include "ShadowSpec.h"

#include <juce_graphics/juce_graphics.h>

namespace vo::gui
{

// The soft shadow a bitmap casts: its alpha, recoloured and blurred. Built
// once per source, pixel size, scaled radius and cap width.
class ImageShadow
{
public:
    // The largest blur, in physical pixels.
    static constexpr int kMaxRadius = 254;

    ImageShadow (juce::Colour colour, int radius, juce::Point<int> offset);
    explicit ImageShadow (const ShadowSpec& recipe);

    // Draws the shadow that `source`, drawn into `bounds` with
    // drawThreeSliceImage and the same cap width, would cast.
    void draw (juce::Graphics& g, const juce::Image& source, juce::Rectangle<float> bounds, int capWidth);

    int getBuildCount() const noexcept { return builds; }
    int getScaledRadius() const noexcept { return cachedRadius; }
    const juce::Image& getImage() const noexcept { return shadow; }

private:
    void rebuild (const juce::Image& source, int width, int height, int radius, int capWidth);
    void recolour();

    juce::Colour colour;
    int radius;
    juce::Point<int> offset;

    juce::Image cachedSource;
    juce::Image shadow;
    int cachedWidth = 0;
    int cachedHeight = 0;
    int cachedRadius = -1;
    int cachedCap = -1;
    int builds = 0;
};

} // namespace vo::gui
