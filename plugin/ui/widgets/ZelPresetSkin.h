#pragma once

#include "ButtonArt.h"
#include "ScaledImage.h"

#include "gui/HeaderBar.h"
#include "gui/ImageShadow.h"
#include "gui/Theme.h"
#include "gui/ThreeSliceCache.h"

namespace vo::plugins::zel::ui
{

// The header's preset selector in ZEL's hardware: the name sits in a
// recessed window of smoked glass, the arrows are small unlit push buttons.
class ZelPresetSkin : public vo::gui::HeaderBar::PresetSkin
{
public:
    // The window's frame stands clear of the name button's edges.
    static constexpr int kWindowInset = 8;
    // Source pixels at each end of the window's picture that keep their shape.
    static constexpr int kCapWidth = 192;
    static constexpr float kLargestArrow = 24.0f;
    static constexpr juce::uint32 kFallbackWindow = 0xff341f06;

    explicit ZelPresetSkin (const vo::gui::Theme& theme);

    void drawNameBackground (juce::Graphics& g, juce::Rectangle<float> bounds, bool down, bool highlighted) override;
    void drawArrow (juce::Graphics& g, juce::Rectangle<float> bounds, int direction, bool down,
                    bool highlighted) override;
    // The header's "<" and ">" stay on the arrows, over the triangles.
    bool drawsArrowText (juce::Graphics&, juce::Button&, bool) override { return false; }

    // The window the name background fills, in the name button's bounds.
    static juce::Rectangle<int> windowBounds (juce::Rectangle<float> bounds, bool down);
    // The arrow's button circle, in the arrow button's bounds.
    static juce::Rectangle<float> arrowCircle (juce::Rectangle<float> bounds);

private:
    void drawWindow (juce::Graphics& g, juce::Rectangle<int> area);
    void drawFallbackWindow (juce::Graphics& g, juce::Rectangle<int> area) const;
    const juce::Image& windowFor (juce::Graphics& g, juce::Rectangle<int> area);

    const vo::gui::Theme* theme;
    ButtonArt images;
    vo::gui::ImageShadow windowShade;
    vo::gui::ImageShadow controlShade;
    vo::gui::ImageShadow contactShade;
    vo::gui::ThreeSliceCache slices;
    juce::Image window;
    ScaledImage scaledWindow;
};

} // namespace vo::plugins::zel::ui
