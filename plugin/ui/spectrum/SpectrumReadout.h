#pragma once

#include <juce_graphics/juce_graphics.h>

namespace vo::plugins::zel::ui
{

// The words and the chip of the read-out under the pointer: plain functions of
// numbers, so every rounding rule can be checked without a view.
class SpectrumReadout
{
public:
    static constexpr float kChipHeight = 18.0f;

    // "440 Hz" below 1 kHz, "1.2 kHz" from there on.
    static juce::String frequencyText (float hz);

    // One decimal and " dB"; values that would read -0.0 read 0.0.
    static juce::String levelText (float db);

    // "1.2 kHz · sc -23.5 dB · cut -4.0 dB".
    static juce::String statusText (float hz, float scDb, float cutDb, const juce::String& scWord,
                                    const juce::String& cutWord);

    // "1.2 kHz · -4.0 dB".
    static juce::String chipText (float hz, float cutDb);

    // Where the chip of that width goes for a pointer at (x, y): to the right
    // of the cursor and above it, flipped to the left at the plot's right
    // edge, always 2 pixels inside the plot.
    static juce::Rectangle<float> chipBounds (juce::Rectangle<float> plot, float pointerX, float pointerY,
                                              float chipWidth);
};

} // namespace vo::plugins::zel::ui
