#pragma once

#include "Theme.h"
#include "melatonin/DropShadow.h"

#include "core/StateManager.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <memory>

namespace vo::gui
{

// A round on/off button with an icon, bound to a parameter: each click (or
// space bar press) flips it as one undo step.
class RoundToggle : public juce::Component
{
public:
    enum class Icon : std::int32_t { Power = 0, Delta = 1, Headphones = 2 };

    RoundToggle (core::StateManager& state, const juce::String& parameterId, Icon icon, const Theme& theme,
                 const juce::String& tooltip);
    ~RoundToggle() override;

    bool isOn() const noexcept { return on; }
    bool hasParameter() const noexcept { return parameter != nullptr; }

    // Flips the parameter as one transaction; nothing without a parameter.
    void toggle();

    void paint (juce::Graphics& g) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseEnter (const juce::MouseEvent&) override { repaint(); }
    void mouseExit (const juce::MouseEvent&) override { repaint(); }
    bool keyPressed (const juce::KeyPress& key) override;

    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    void drawIcon (juce::Graphics& g, juce::Rectangle<float> circle, juce::Colour colour) const;

    const Theme theme;
    Icon icon;
    melatonin::DropShadow shadow;
    juce::RangedAudioParameter* parameter = nullptr;
    std::unique_ptr<juce::ParameterAttachment> attachment;
    core::StateManager& state;
    bool on = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RoundToggle)
};

} // namespace vo::gui
