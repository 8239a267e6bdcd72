#pragma once

#include "gui/ImageShadow.h"
#include "gui/Theme.h"
#include "gui/ThreeSliceCache.h"
#include "gui/TypefaceCache.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace vo::plugins::zel::ui
{

// The capsule-shaped text button of the update panel: the photographed body
// stretched in its middle only, the text set on it in the display face.
class CapsuleButton : public juce::Button
{
public:
    static constexpr int kInset = 8;
    static constexpr int kCapWidth = 228;

    CapsuleButton (const juce::String& buttonText, const vo::gui::Theme& theme);

    // The width this text needs: room for the caps, never narrower than 80.
    static int preferredWidthFor (const juce::String& label);

    // The body, 1 pixel lower while pressed.
    juce::Rectangle<int> bodyBounds (bool pressed) const;

    bool hitTest (int x, int y) override;

protected:
    void paintButton (juce::Graphics& g, bool highlighted, bool down) override;
    void focusGained (FocusChangeType cause) override;
    void focusLost (FocusChangeType cause) override;

private:
    void paintBody (juce::Graphics& g, juce::Rectangle<int> body);
    void paintText (juce::Graphics& g, juce::Rectangle<int> body) const;

    vo::gui::Theme theme;
    // Held for the button's life, so painting never reloads the typefaces.
    juce::SharedResourcePointer<vo::gui::TypefaceCache> typefaces;
    vo::gui::ImageShadow controlShade;
    vo::gui::ImageShadow contactShade;
    juce::Image capsule;
    vo::gui::ThreeSliceCache slices;
};

} // namespace vo::plugins::zel::ui
