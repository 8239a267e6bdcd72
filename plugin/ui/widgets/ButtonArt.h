#pragma once

#include "RoundArtwork.h"

#include <juce_graphics/juce_graphics.h>

namespace vo::plugins::zel::ui
{

// The round metal push button in its three photographs (unlit, lit, lit red),
// drawn into a circle with a glow between unlit and lit, and drawn by hand
// when the photographs are missing.
class ButtonArt
{
public:
    static constexpr float kSmallestDiameter = 4.0f;
    static constexpr juce::uint32 kRedRing = 0xfff53e3b;
    static constexpr float kPressedAlpha = 0.06f;

    ButtonArt();

    // `circle` is the control's square; glow 0 … 1.
    void draw (juce::Graphics& g, juce::Rectangle<float> circle, float glow, bool red, juce::Colour ringColour);

    // The pressed look's darkening over the circle.
    static void drawPressed (juce::Graphics& g, juce::Rectangle<float> circle);

    RoundArtwork& getOff() noexcept { return off; }

private:
    static void drawRing (juce::Graphics& g, juce::Rectangle<float> circle, float glow, juce::Colour colour);
    static void drawFallbackDisc (juce::Graphics& g, juce::Rectangle<float> circle);

    RoundArtwork off, on, red;
};

} // namespace vo::plugins::zel::ui
