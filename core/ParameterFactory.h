#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace vo::core
{

// Builds the maker's standard float parameters with their ranges and texts.
class ParameterFactory
{
public:
    static std::unique_ptr<juce::AudioParameterFloat> makePercent (const juce::String& id, int versionHint,
                                                                   const juce::String& name, float defaultValue);

    static std::unique_ptr<juce::AudioParameterFloat> makeMs (const juce::String& id, int versionHint,
                                                              const juce::String& name, float min, float max,
                                                              float defaultValue, float centre);

    static std::unique_ptr<juce::AudioParameterFloat> makeHz (const juce::String& id, int versionHint,
                                                              const juce::String& name, float min, float max,
                                                              float defaultValue, const juce::String& floorLabel);

    // Skew that puts the plain value `centre` at normalised 0.5, in single precision.
    static float skewForCentre (float min, float max, float centre);

    // The leading number of a text, units ignored; texts such as "nan" or "inf"
    // that would put a non-finite value into the audio path give `fallback`.
    static float numberFromText (const juce::String& text, float fallback);

    static juce::String percentText (float value);
    static juce::String millisecondsText (float value);
    static juce::String frequencyText (float value, float min, const juce::String& floorLabel);
};

} // namespace vo::core
