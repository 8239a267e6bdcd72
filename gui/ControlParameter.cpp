#include "ControlParameter.h"

namespace vo::gui
{

juce::RangedAudioParameter* controlParameter (core::StateManager& state, const juce::String& parameterId)
{
    if (state.getValueTreeState().getParameter (parameterId) == nullptr)
        return nullptr;
    return &state.param (parameterId);
}

void storeTooltip (juce::Component& component, const juce::String& tooltip)
{
    if (tooltip.isNotEmpty())
        component.getProperties().set (kTooltipProperty, tooltip);
}

} // namespace vo::gui
