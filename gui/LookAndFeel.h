#pragma once

#include "Theme.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace vo::gui
{

// The toolkit's one drawing style for the framework's stock widgets: capsule
// buttons, pill toggles, rounded popup menus with 22-pixel rows, and a plain
// two-arc rotary for sliders that do not paint themselves. All colours and
// radii come from the theme copy, all fonts from displayFont / textFont.
class LookAndFeel : public juce::LookAndFeel_V4
{
public:
    // Every popup row is this high and at least this wide.
    static constexpr int kPopupRowHeight = 22;
    static constexpr int kPopupMinimumWidth = 190;

    explicit LookAndFeel (const Theme& themeToUse);

    const Theme& getTheme() const noexcept { return theme; }

    int getDefaultScrollbarWidth() override;

    void drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                               bool highlighted, bool down) override;
    juce::Font getTextButtonFont (juce::TextButton& button, int buttonHeight) override;
    void drawButtonText (juce::Graphics& g, juce::TextButton& button, bool highlighted, bool down) override;
    void drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool highlighted, bool down) override;

    void drawPopupMenuBackground (juce::Graphics& g, int width, int height) override;
    void drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area, bool isSeparator, bool isActive,
                            bool isHighlighted, bool isTicked, bool hasSubMenu, const juce::String& text,
                            const juce::String& shortcutKeyText, const juce::Drawable* icon,
                            const juce::Colour* textColour) override;
    void drawPopupMenuSectionHeader (juce::Graphics& g, const juce::Rectangle<int>& area,
                                     const juce::String& sectionName) override;
    juce::Font getPopupMenuFont() override;
    void getIdealPopupMenuItemSize (const juce::String& text, bool isSeparator, int standardMenuItemHeight,
                                    int& idealWidth, int& idealHeight) override;

    juce::Font getLabelFont (juce::Label& label) override;

    void drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider) override;

protected:
    // What a plain text button draws; variants that restyle some buttons
    // fall back to these for the others.
    void drawCapsuleBackground (juce::Graphics& g, juce::Button& button, bool highlighted, bool down) const;
    void drawCentredButtonText (juce::Graphics& g, juce::TextButton& button);

    const Theme theme;

private:
    void applyColours();
    void drawPopupSeparator (juce::Graphics& g, juce::Rectangle<int> area) const;
    void drawTickColumn (juce::Graphics& g, juce::Rectangle<int> column, bool isTicked,
                         const juce::Drawable* icon, juce::Colour colour) const;
    void drawSubMenuArrow (juce::Graphics& g, float x, float centreY, juce::Colour colour) const;
    void strokeArc (juce::Graphics& g, juce::Point<float> centre, float radius, float from, float to,
                    juce::Colour colour) const;
};

} // namespace vo::gui
