#pragma once

#include "core/StateManager.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
#include <memory>

namespace vo::plugins::zel::ui
{

// A widget's binding to an on/off parameter through the state manager: host
// automation, undo and presets reach the widget through the attachment, and
// a flip by the user is one undoable change.
class ParameterToggle
{
public:
    using OnChange = std::function<void (bool on)>;

    ~ParameterToggle();

    // False, binding nothing, when the state has no parameter with this id.
    // Otherwise `onChange` hears the current value at once and every change after.
    bool bind (core::StateManager& state, const juce::String& parameterId, OnChange onChange);

    bool isBound() const noexcept { return attachment != nullptr; }

    // Sets the parameter to the opposite of `isOn` as one complete gesture in
    // a transaction of its own.
    void flip (bool isOn);

private:
    core::StateManager* state = nullptr;
    juce::RangedAudioParameter* parameter = nullptr;
    std::unique_ptr<juce::ParameterAttachment> attachment;
};

} // namespace vo::plugins::zel::ui
