#include "ParameterToggle.h"

#include <utility>

namespace vo::plugins::zel::ui
{

namespace
{

constexpr float kOnAbove = 0.5f;

} // namespace

ParameterToggle::~ParameterToggle()
{
    attachment.reset();
}

bool ParameterToggle::bind (core::StateManager& stateToUse, const juce::String& parameterId, OnChange onChange)
{
    auto* found = dynamic_cast<juce::RangedAudioParameter*> (stateToUse.getValueTreeState().getParameter (parameterId));
    if (found == nullptr)
        return false;

    state = &stateToUse;
    parameter = found;
    attachment = std::make_unique<juce::ParameterAttachment> (
        *parameter, [callback = std::move (onChange)] (float value) { callback (value > kOnAbove); },
        &state->getUndoManager());
    attachment->sendInitialUpdate();
    return true;
}

void ParameterToggle::flip (bool isOn)
{
    if (attachment == nullptr)
        return;
    state->beginTransaction();
    attachment->setValueAsCompleteGesture (isOn ? 0.0f : 1.0f);
    state->flushToTree();
}

} // namespace vo::plugins::zel::ui
