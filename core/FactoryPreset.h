#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace vo::core
{

// One parameter of a factory preset, as a plain (unnormalised) value.
struct PresetValue
{
    juce::String id;
    float value = 0.0f;
};

struct FactoryPreset
{
    juce::String name;
    std::vector<PresetValue> values;
};

} // namespace vo::core
