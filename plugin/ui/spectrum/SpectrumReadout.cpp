#include "SpectrumReadout.h"

#include <cmath>

namespace vo::plugins::zel::ui
{

namespace
{

constexpr float kKiloHz = 1000.0f;
constexpr float kShownAsZeroDb = 0.05f;
constexpr float kCursorGap = 10.0f;
constexpr float kInset = 2.0f;
constexpr float kAbovePointer = 28.0f;
const juce::String kSeparator = juce::String::fromUTF8 (" \xc2\xb7 ");

} // namespace

juce::String SpectrumReadout::frequencyText (float hz)
{
    if (hz < kKiloHz)
        return juce::String (juce::roundToInt (hz)) + " Hz";
    return juce::String (hz / kKiloHz, 1) + " kHz";
}

juce::String SpectrumReadout::levelText (float db)
{
    const auto shown = std::abs (db) < kShownAsZeroDb ? 0.0f : db;
    return juce::String (shown, 1) + " dB";
}

juce::String SpectrumReadout::statusText (float hz, float scDb, float cutDb, const juce::String& scWord,
                                          const juce::String& cutWord)
{
    return frequencyText (hz) + kSeparator + scWord + " " + levelText (scDb) + kSeparator + cutWord + " "
           + levelText (cutDb);
}

juce::String SpectrumReadout::chipText (float hz, float cutDb)
{
    return frequencyText (hz) + kSeparator + levelText (cutDb);
}

juce::Rectangle<float> SpectrumReadout::chipBounds (juce::Rectangle<float> plot, float pointerX, float pointerY,
                                                    float chipWidth)
{
    auto x = pointerX + kCursorGap;
    if (plot.getRight() - kInset < pointerX + kCursorGap + chipWidth)
        x = pointerX - kCursorGap - chipWidth;
    const auto left = plot.getX() + kInset;
    x = juce::jlimit (left, juce::jmax (left, plot.getRight() - chipWidth - kInset), x);

    const auto top = plot.getY() + kInset;
    const auto y = juce::jlimit (top, juce::jmax (top, plot.getBottom() - kChipHeight - kInset), pointerY - kAbovePointer);
    return { x, y, chipWidth, kChipHeight };
}

} // namespace vo::plugins::zel::ui
