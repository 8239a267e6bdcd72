#pragma once

#include "ShadowSpec.h"

#include <juce_graphics/juce_graphics.h>

#include <cstdint>

namespace vo::gui
{

// Everything the toolkit draws with, in one plain record: every component
// takes its own copy when it is built and nothing changes it afterwards.
// A default-constructed theme is fully transparent and draws no grain, so a
// product has to set every field it relies on.
struct Theme
{
    juce::Colour background, barBackground, panelBackground, hairline, cardBackground;
    juce::Colour extraColour1, extraColour2, extraColour3, extraColour4, extraColour5;
    juce::Colour surface, outline, text, labelText, textDim;
    juce::Colour knobBody, knobBodyLow, knobRim, arcValue, pointer, arcTrack;
    juce::Colour accent, accentLine, accentSoft, inkOnAccent;
    juce::Colour extraColour6, extraColour7, extraColour8, extraColour9;
    juce::Colour shadowBase, scrim, markColour, markHighlight;

    std::int32_t knobStyle = 0;
    juce::Colour knobArc, knobArcTrack;
    float grainOpacity = 0.0f;
    juce::Colour knobRing, imageKnobTrack, knobNeedle, titleText;

    float radiusSmall = 6.0f;
    float radiusMedium = 10.0f;
    float radiusLarge = 14.0f;
    float strokeWidth = 4.0f;

    ShadowSpec knobShadow, knobContactShadow, controlShadow, cardShadow, panelShadow;
};

} // namespace vo::gui
