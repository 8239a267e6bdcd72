#pragma once

#include "GestureCounter.h"

#include "gui/Theme.h"
#include "plugin/Processor.h"
#include "plugin/ui/ProductTheme.h"

#include <gtest/gtest.h>

namespace vo::test
{

// The real product's processor with a host-side gesture listener: controls
// are bound to its state exactly as in the editor.
class ControlFixture : public ::testing::Test
{
protected:
    core::StateManager& state() { return processor.getStateManager(); }
    juce::RangedAudioParameter& parameter (const char* id) { return state().param (id); }

    float plain (const char* id)
    {
        auto& p = parameter (id);
        return p.convertFrom0to1 (p.getValue());
    }

    void setPlain (const char* id, float value)
    {
        auto& p = parameter (id);
        p.setValueNotifyingHost (p.convertTo0to1 (value));
    }

    vo::plugins::zel::Processor processor;
    GestureCounter gestures { processor };
    const gui::Theme theme = vo::plugins::zel::ui::productTheme();
};

} // namespace vo::test
