#pragma once

#include <juce_core/juce_core.h>

namespace vo::core
{

// What a concrete effect tells the shared processor base about itself.
struct ProcessorConfig
{
    juce::String name;
    juce::String version;
    int stateVersion = 1;
    bool stereoOnly = false;
    bool sidechain = false;
    bool wantsMidi = false;
    juce::String vendor;
};

} // namespace vo::core
