#pragma once

#include "core/StateManager.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace vo::gui
{

// The parameter a control binds to, or null for an id the state does not
// have: controls never bind to the state's inert placeholder.
juce::RangedAudioParameter* controlParameter (core::StateManager& state, const juce::String& parameterId);

// Stores a tooltip where the editor shell looks for it; empty text is not stored.
void storeTooltip (juce::Component& component, const juce::String& tooltip);

// The key the tooltip lives under in a component's properties.
inline constexpr const char* kTooltipProperty = "voTooltip";

} // namespace vo::gui
