#pragma once

#include "core/FactoryPreset.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <vector>

namespace vo::plugins::zel::params
{

namespace ids
{
    inline constexpr const char* amount = "amount";
    inline constexpr const char* lowCut = "lowCut";
    inline constexpr const char* highCut = "highCut";
    inline constexpr const char* freeze = "freeze";
    inline constexpr const char* attack = "attack";
    inline constexpr const char* release = "release";
    inline constexpr const char* mode = "mode";
    inline constexpr const char* pan = "pan";
    inline constexpr const char* scAudition = "scAudition";
    inline constexpr const char* smooth = "smooth";
    inline constexpr const char* bypass = "bypass";
} // namespace ids

inline constexpr int kVersionHint = 1;

// The ten product parameters in host order; the processor base appends "bypass".
juce::AudioProcessorValueTreeState::ParameterLayout createLayout();

std::vector<core::FactoryPreset> createFactoryPresets();

// "+25 %", "0 %", "-100 %".
juce::String panText (float value);

} // namespace vo::plugins::zel::params
