#pragma once

#include "ButtonArt.h"

#include "gui/HeaderBar.h"
#include "gui/ImageShadow.h"
#include "gui/Theme.h"

namespace vo::plugins::zel::ui
{

// Gives the header's help and settings buttons the body of ZEL's unlit metal
// push button, so they sit in the header like the editor's own buttons.
class ZelIconSkin : public vo::gui::HeaderBar::IconSkin
{
public:
    // The photographed button has a wide rim: the header's circles shrink by
    // this much on every side to keep its glyphs on the button's face.
    static constexpr int kRingInset = 8;

    explicit ZelIconSkin (const vo::gui::Theme& theme);

    void paintButton (juce::Graphics& g, juce::Rectangle<float> circle, bool down, bool highlighted) override;
    int ringInset() override { return kRingInset; }

    // The unlit button with its shadows, 1 pixel lower and darkened while
    // down; the preset skin's arrows are drawn the same way.
    static void paintUnlit (juce::Graphics& g, juce::Rectangle<float> circle, bool down, const vo::gui::Theme& colours,
                            ButtonArt& art, vo::gui::ImageShadow& controlShadow, vo::gui::ImageShadow& contactShadow);

private:
    ButtonArt images;
    const vo::gui::Theme* theme;
    vo::gui::ImageShadow controlShade;
    vo::gui::ImageShadow contactShade;
};

} // namespace vo::plugins::zel::ui
