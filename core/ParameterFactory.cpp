#include "ParameterFactory.h"
#include "NumberText.h"

#include <cmath>

namespace vo::core
{

namespace
{
    constexpr float kPercentStep = 0.1f;
    constexpr float kMsStep = 0.01f;
    constexpr float kHzStep = 0.1f;
}

float ParameterFactory::skewForCentre (float min, float max, float centre)
{
    return std::log (0.5f) / std::log ((centre - min) / (max - min));
}

float ParameterFactory::numberFromText (const juce::String& text, float fallback)
{
    const float value = floatFromText (text);
    return std::isfinite (value) ? value : fallback;
}

// Percent rounds halves away from zero; the other texts use the framework's
// rounding (halves to even), which keeps a centred frequency knob at "632 Hz".
juce::String ParameterFactory::percentText (float value)
{
    return juce::String ((int) std::round (value)) + " %";
}

juce::String ParameterFactory::millisecondsText (float value)
{
    if (value < 1.0f)
        return juce::String (value, 2) + " ms";
    if (value < 10.0f)
        return juce::String (value, 1) + " ms";
    return juce::String (juce::roundToInt (value)) + " ms";
}

juce::String ParameterFactory::frequencyText (float value, float min, const juce::String& floorLabel)
{
    if (floorLabel.isNotEmpty() && value <= min + 0.05f)
        return floorLabel;
    if (value < 1000.0f)
        return juce::String (juce::roundToInt (value)) + " Hz";
    return juce::String (value / 1000.0f, 1) + " kHz";
}

std::unique_ptr<juce::AudioParameterFloat> ParameterFactory::makePercent (const juce::String& id, int versionHint,
                                                                          const juce::String& name, float defaultValue)
{
    return std::make_unique<juce::AudioParameterFloat> (
        juce::ParameterID { id, versionHint }, name,
        juce::NormalisableRange<float> (0.0f, 100.0f, kPercentStep, 1.0f), defaultValue,
        juce::AudioParameterFloatAttributes().withStringFromValueFunction (
            [] (float v, int) { return percentText (v); })
            .withValueFromStringFunction ([defaultValue] (const juce::String& t) { return numberFromText (t, defaultValue); }));
}

std::unique_ptr<juce::AudioParameterFloat> ParameterFactory::makeMs (const juce::String& id, int versionHint,
                                                                     const juce::String& name, float min, float max,
                                                                     float defaultValue, float centre)
{
    return std::make_unique<juce::AudioParameterFloat> (
        juce::ParameterID { id, versionHint }, name,
        juce::NormalisableRange<float> (min, max, kMsStep, skewForCentre (min, max, centre)), defaultValue,
        juce::AudioParameterFloatAttributes().withStringFromValueFunction (
            [] (float v, int) { return millisecondsText (v); })
            .withValueFromStringFunction ([defaultValue] (const juce::String& t) { return numberFromText (t, defaultValue); }));
}

std::unique_ptr<juce::AudioParameterFloat> ParameterFactory::makeHz (const juce::String& id, int versionHint,
                                                                     const juce::String& name, float min, float max,
                                                                     float defaultValue, const juce::String& floorLabel)
{
    const float centre = std::sqrt (min * max);
    return std::make_unique<juce::AudioParameterFloat> (
        juce::ParameterID { id, versionHint }, name,
        juce::NormalisableRange<float> (min, max, kHzStep, skewForCentre (min, max, centre)), defaultValue,
        juce::AudioParameterFloatAttributes().withStringFromValueFunction (
            [min, floorLabel] (float v, int) { return frequencyText (v, min, floorLabel); })
            .withValueFromStringFunction ([defaultValue] (const juce::String& t) { return numberFromText (t, defaultValue); }));
}

} // namespace vo::core
