#pragma once

#include "ButtonArt.h"
#include "Glow.h"
#include "ParameterToggle.h"

#include "gui/ImageShadow.h"
#include "gui/Theme.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace vo::plugins::zel::ui
{

// The round metal push button: lit while its parameter is on (or, unbound,
// whenever the editor says so through its click callback), with an optional
// icon. Only the drawn circle takes clicks.
class RoundButton : public juce::Button
{
public:
    enum Style
    {
        NoIcon = 0,
        UndoIcon = 3,
        LeftIcon = 4,
        RightIcon = 5
    };

    static constexpr float kMargin = 16.0f;

    RoundButton (const juce::String& name, int style, const vo::gui::Theme& theme, const juce::String& tooltip);

    void attachTo (core::StateManager& state, const juce::String& parameterId);
    void setDiameter (float diameter);
    void setRedWhenLit (bool red);

    // Lights or darkens an unbound button (bound ones follow their parameter).
    void setLit (bool lit, bool immediately);

    // One glow step, as the editor calls it about 30 times a second.
    void stepGlow();
    void stepGlowAt (std::uint32_t nowMs);

    float getGlow() const noexcept { return glow.getValue(); }

    // The drawn circle, in local coordinates (1 pixel lower while pressed).
    juce::Rectangle<float> circleBounds (bool pressed) const;

    bool hitTest (int x, int y) override;

protected:
    void clicked() override;
    void paintButton (juce::Graphics& g, bool highlighted, bool down) override;

private:
    float drawnDiameter() const;
    void rebuildIcon (juce::Rectangle<float> circle);

    const vo::gui::Theme* theme;
    int style;
    ButtonArt images;
    vo::gui::ImageShadow controlShade;
    vo::gui::ImageShadow contactShade;
    ParameterToggle binding;
    float diameter = 0.0f;
    bool redWhenLit = false;
    Glow glow;
    juce::Path icon;
    juce::Rectangle<float> iconCircle;
};

} // namespace vo::plugins::zel::ui
