#include "support/PictureRenderer.h"
#include "support/PixelProbe.h"

#include "gui/LookAndFeel.h"
#include "plugin/ui/ProductTheme.h"

#include <gtest/gtest.h>

namespace vo::test
{
using vo::gui::LookAndFeel;
using vo::gui::Theme;

namespace
{

using vo::plugins::zel::ui::productTheme;

// A theme in which only the outline shows: whatever is drawn in another
// colour stays invisible.
Theme outlineOnly()
{
    Theme theme;
    theme.outline = juce::Colours::red;
    return theme;
}

juce::Image backgroundOf (LookAndFeel& lookAndFeel, juce::TextButton& button, bool highlighted = false, bool down = false)
{
    return PictureRenderer::ofDrawing (button.getWidth(), button.getHeight(), 1.0f, [&] (juce::Graphics& g) {
        lookAndFeel.drawButtonBackground (g, button, juce::Colours::green, highlighted, down);
    });
}

juce::Image textOf (LookAndFeel& lookAndFeel, juce::TextButton& button)
{
    return PictureRenderer::ofDrawing (button.getWidth(), button.getHeight(), 1.0f, [&] (juce::Graphics& g) {
        lookAndFeel.drawButtonText (g, button, false, false);
    });
}

TEST (LookAndFeel, OneShortPopupItemIs190By22)
{
    LookAndFeel lookAndFeel (productTheme());
    int width = 0;
    int height = 0;
    lookAndFeel.getIdealPopupMenuItemSize ("Init", false, 0, width, height);
    EXPECT_EQ (width, 190);
    EXPECT_EQ (height, 22);

    lookAndFeel.getIdealPopupMenuItemSize ("Init", false, 40, width, height);
    EXPECT_EQ (height, 22);
}

TEST (LookAndFeel, LongPopupItemsGrowWithTheirText)
{
    LookAndFeel lookAndFeel (productTheme());
    const juce::String text ("A preset name long enough to need more than the minimum width of a row");
    int width = 0;
    int height = 0;
    lookAndFeel.getIdealPopupMenuItemSize (text, false, 0, width, height);

    const auto font = lookAndFeel.getPopupMenuFont();
    const auto rowHeight = juce::roundToInt (font.getHeight() * 1.3f);
    EXPECT_EQ (width, static_cast<int> (std::ceil (font.getStringWidthFloat (text))) + 2 * rowHeight + 24);
    EXPECT_EQ (height, 22);
}

TEST (LookAndFeel, SeparatorsAre50By7)
{
    LookAndFeel lookAndFeel (productTheme());
    int width = 0;
    int height = 0;
    lookAndFeel.getIdealPopupMenuItemSize ({}, true, 0, width, height);
    EXPECT_EQ (width, 50);
    EXPECT_EQ (height, 7);
}

TEST (LookAndFeel, AToggledButtonHasNoOutline)
{
    LookAndFeel lookAndFeel (outlineOnly());
    juce::TextButton button ("On");
    button.setSize (80, 24);
    button.setToggleState (true, juce::dontSendNotification);

    EXPECT_TRUE (PixelProbe::isFullyTransparent (backgroundOf (lookAndFeel, button)));
    EXPECT_TRUE (PixelProbe::isFullyTransparent (backgroundOf (lookAndFeel, button, true, true)));
}

TEST (LookAndFeel, AnUntoggledButtonAlwaysHasAHairOutline)
{
    LookAndFeel lookAndFeel (outlineOnly());
    juce::TextButton button ("Off");
    button.setSize (80, 24);

    for (const auto& [highlighted, down] : { std::pair { false, false }, { true, false }, { true, true } })
    {
        const auto picture = backgroundOf (lookAndFeel, button, highlighted, down);
        EXPECT_EQ (PixelProbe::mostOpaqueColour (picture).getRed(), 255);
        EXPECT_GT (picture.getPixelAt (40, 0).getAlpha(), 100) << "the top edge";
        EXPECT_EQ (picture.getPixelAt (40, 12).getAlpha(), 0) << "nothing inside";
    }
}

TEST (LookAndFeel, DisabledTextIsDimAndTheBackgroundStays)
{
    const auto theme = productTheme();
    LookAndFeel lookAndFeel (theme);
    juce::Component parent;
    juce::TextButton button ("MMMM");
    parent.addAndMakeVisible (button);
    button.setSize (120, 30);

    const auto enabledBackground = backgroundOf (lookAndFeel, button);
    EXPECT_EQ (PixelProbe::maxAlpha (textOf (lookAndFeel, button)), 255);

    button.setEnabled (false);
    EXPECT_EQ (PixelProbe::maxAlpha (textOf (lookAndFeel, button)), theme.textDim.getAlpha());
    EXPECT_TRUE (PixelProbe::sameAs (backgroundOf (lookAndFeel, button), enabledBackground));

    button.setEnabled (true);
    parent.setEnabled (false);
    EXPECT_EQ (PixelProbe::maxAlpha (textOf (lookAndFeel, button)), theme.textDim.getAlpha());
}

TEST (LookAndFeel, ToggledTextIsInkOnAccent)
{
    auto theme = productTheme();
    theme.inkOnAccent = juce::Colours::blue;
    LookAndFeel lookAndFeel (theme);
    juce::TextButton button ("MMMM");
    button.setSize (120, 30);
    button.setToggleState (true, juce::dontSendNotification);

    EXPECT_EQ (PixelProbe::mostOpaqueColour (textOf (lookAndFeel, button)), juce::Colours::blue);
}

TEST (LookAndFeel, FontsFollowTheirRoles)
{
    LookAndFeel lookAndFeel (productTheme());
    juce::TextButton button;
    EXPECT_FLOAT_EQ (lookAndFeel.getTextButtonFont (button, 20).getHeight(), 0.58f * 20.0f);
    EXPECT_FLOAT_EQ (lookAndFeel.getTextButtonFont (button, 40).getHeight(), 14.0f);
    EXPECT_FLOAT_EQ (lookAndFeel.getPopupMenuFont().getHeight(), 12.5f);

    juce::Label label;
    label.setFont (juce::Font (17.0f));
    EXPECT_FLOAT_EQ (lookAndFeel.getLabelFont (label).getHeight(), 17.0f);
    EXPECT_EQ (lookAndFeel.getDefaultScrollbarWidth(), 8);
}

TEST (LookAndFeel, SetsTheStockWidgetColours)
{
    const auto theme = productTheme();
    LookAndFeel lookAndFeel (theme);
    EXPECT_EQ (lookAndFeel.findColour (juce::Label::textColourId), theme.labelText);
    EXPECT_EQ (lookAndFeel.findColour (juce::TextButton::buttonOnColourId), theme.accentSoft);
    EXPECT_EQ (lookAndFeel.findColour (juce::TextEditor::focusedOutlineColourId), theme.accentLine);
    EXPECT_EQ (lookAndFeel.findColour (juce::ListBox::backgroundColourId), juce::Colours::transparentBlack);
    EXPECT_EQ (lookAndFeel.findColour (juce::PopupMenu::highlightedBackgroundColourId), theme.accentSoft);
    EXPECT_EQ (lookAndFeel.findColour (juce::ScrollBar::thumbColourId), theme.hairline);
    EXPECT_EQ (lookAndFeel.findColour (juce::Slider::textBoxTextColourId), theme.text);
}

TEST (LookAndFeel, RotaryFallbackDrawsTrackAndValueArcs)
{
    Theme theme;
    theme.arcTrack = juce::Colours::red;
    theme.accentLine = juce::Colours::blue;
    LookAndFeel lookAndFeel (theme);
    juce::Slider slider;
    const auto pi = juce::MathConstants<float>::pi;

    const auto picture = PictureRenderer::ofDrawing (60, 60, 1.0f, [&] (juce::Graphics& g) {
        lookAndFeel.drawRotarySlider (g, 0, 0, 60, 60, 0.5f, -0.75f * pi, 0.75f * pi, slider);
    });

    // centre 30,30, radius 60 / 2 - 6 - 4 = 20: the value covers the left half, the track the right.
    EXPECT_EQ (picture.getPixelAt (10, 30), juce::Colours::blue);
    EXPECT_EQ (picture.getPixelAt (50, 30), juce::Colours::red);
    EXPECT_EQ (picture.getPixelAt (30, 30).getAlpha(), 0);
}

} // namespace
} // namespace vo::test
