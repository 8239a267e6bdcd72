#pragma once

#include "ParameterToggle.h"
#include "RoundArtwork.h"

#include "gui/ImageShadow.h"
#include "gui/Theme.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace vo::plugins::zel::ui
{

// A lever switch bound to an on/off parameter: the lever stands up while the
// parameter is off and down while it is on, and it flips on release, only
// when the pointer is still on the switch.
class ToggleSwitch : public juce::Component
{
public:
    static constexpr float kBodyFill = 0.63f;

    ToggleSwitch (core::StateManager& state, const juce::String& parameterId, const vo::gui::Theme& theme,
                  const juce::String& tooltip);

    void setSwitchSize (float size);
    bool getIsOn() const noexcept { return isOn; }

    // The square the switch takes clicks in.
    juce::Rectangle<float> switchSquare() const;

    void mouseUp (const juce::MouseEvent& event) override;
    // Space or Return flips the switch when it has the keyboard focus.
    bool keyPressed (const juce::KeyPress& key) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;
    bool hitTest (int x, int y) override;
    void paint (juce::Graphics& g) override;

private:
    void paintFallback (juce::Graphics& g, juce::Point<float> centre, float radius) const;

    vo::gui::ImageShadow controlShade;
    vo::gui::ImageShadow contactShade;
    ParameterToggle binding;
    bool isOn = false;
    float switchSize = 0.0f;
    RoundArtwork leverUp;
    RoundArtwork leverDown;
};

} // namespace vo::plugins::zel::ui
