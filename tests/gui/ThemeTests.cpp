#include "support/PictureRenderer.h"
#include "support/PixelProbe.h"

#include "gui/Card.h"
#include "gui/GrainTexture.h"
#include "gui/ImageShadow.h"
#include "gui/LookAndFeel.h"
#include "gui/melatonin/DropShadow.h"
#include "plugin/ui/ProductTheme.h"

#include <gtest/gtest.h>

namespace vo::test
{
using vo::gui::GrainTexture;
using vo::gui::ImageShadow;
using vo::gui::LookAndFeel;
using vo::gui::Theme;
using vo::gui::drawCard;

namespace
{

using vo::plugins::zel::ui::productTheme;

TEST (Theme, DefaultsAreTransparentWithTheStandardMetrics)
{
    const Theme theme;
    EXPECT_EQ (theme.background.getARGB(), 0u);
    EXPECT_EQ (theme.accent.getARGB(), 0u);
    EXPECT_EQ (theme.titleText.getARGB(), 0u);
    EXPECT_EQ (theme.knobStyle, 0);
    EXPECT_EQ (theme.grainOpacity, 0.0f);
    EXPECT_EQ (theme.radiusSmall, 6.0f);
    EXPECT_EQ (theme.radiusMedium, 10.0f);
    EXPECT_EQ (theme.radiusLarge, 14.0f);
    EXPECT_EQ (theme.strokeWidth, 4.0f);
    for (const auto& recipe : { theme.knobShadow, theme.knobContactShadow, theme.controlShadow, theme.cardShadow, theme.panelShadow })
    {
        EXPECT_EQ (recipe.colour.getARGB(), 0u);
        EXPECT_EQ (recipe.radius, 8);
        EXPECT_EQ (recipe.offsetX, 0);
        EXPECT_EQ (recipe.offsetY, 2);
    }
}

TEST (Theme, ProductPaletteRoundsItsAlphasLikeTheFramework)
{
    const auto theme = productTheme();
    EXPECT_EQ (theme.hairline.getARGB(), 0x59e8e2c4u);
    EXPECT_EQ (theme.textDim.getARGB(), 0x73e8e2c4u);
    EXPECT_EQ (theme.arcTrack.getARGB(), 0x33e8e2c4u);
    EXPECT_EQ (theme.accentSoft.getARGB(), 0x4cf4bb3bu);
    EXPECT_EQ (theme.scrim.getARGB(), 0x8cc56c64u);
    EXPECT_EQ (theme.knobArcTrack.getARGB(), 0x40ffffffu);
    EXPECT_EQ (theme.imageKnobTrack.getARGB(), 0x2e000000u);
    EXPECT_EQ (theme.knobShadow.colour.getARGB(), 0x73000000u);
    EXPECT_EQ (theme.controlShadow.colour.getARGB(), 0x38000000u);
    EXPECT_EQ (theme.panelShadow.colour.getARGB(), 0x66000000u);
    EXPECT_EQ (theme.background.getARGB(), 0xffc56c64u);
    EXPECT_EQ (theme.inkOnAccent.getARGB(), 0xff201917u);
    EXPECT_EQ (theme.knobStyle, 4);
    EXPECT_EQ (theme.radiusLarge, 12.0f);
    EXPECT_EQ (theme.cardShadow.radius, 14);
    EXPECT_EQ (theme.cardShadow.offsetY, 4);
}

TEST (Theme, ARecipeBecomesOneShadowWithoutSpread)
{
    const auto recipe = productTheme().knobShadow;
    const auto shadow = recipe.toShadow();
    EXPECT_EQ (shadow.colour, recipe.colour);
    EXPECT_EQ (shadow.radius, 18);
    EXPECT_EQ (shadow.offset, juce::Point<int> (0, 7));
    EXPECT_EQ (shadow.spread, 0);
    EXPECT_FALSE (shadow.inner);
}

// Everything the toolkit draws, with a default theme.
void drawEverything (juce::Graphics& g, LookAndFeel& lookAndFeel, const Theme& theme,
                     melatonin::DropShadow& cardShadow, GrainTexture& grain, ImageShadow& imageShadow)
{
    juce::TextButton button ("Text");
    button.setSize (80, 24);
    juce::ToggleButton toggle ("Toggle");
    toggle.setSize (80, 24);
    for (const bool on : { false, true })
    {
        button.setToggleState (on, juce::dontSendNotification);
        toggle.setToggleState (on, juce::dontSendNotification);
        lookAndFeel.drawButtonBackground (g, button, juce::Colours::red, true, false);
        lookAndFeel.drawButtonText (g, button, true, false);
        lookAndFeel.drawToggleButton (g, toggle, true, false);
    }

    lookAndFeel.drawPopupMenuBackground (g, 190, 100);
    lookAndFeel.drawPopupMenuSectionHeader (g, { 0, 0, 190, 22 }, "HEADER");
    lookAndFeel.drawPopupMenuItem (g, { 0, 22, 190, 22 }, false, true, true, true, true, "Item", "Ctrl+I", nullptr, nullptr);
    lookAndFeel.drawPopupMenuItem (g, { 0, 44, 190, 7 }, true, true, false, false, false, {}, {}, nullptr, nullptr);

    juce::Slider slider;
    lookAndFeel.drawRotarySlider (g, 100, 0, 60, 60, 0.7f, -2.0f, 2.0f, slider);

    drawCard (g, { 20.0f, 60.0f, 120.0f, 60.0f }, theme, &cardShadow);
    grain.draw (g, { 0, 0, 200, 140 }, theme.grainOpacity, 0x5EEDA110);

    juce::Image opaque (juce::Image::ARGB, 20, 10, false);
    opaque.clear (opaque.getBounds(), juce::Colours::white);
    imageShadow.draw (g, opaque, { 150.0f, 100.0f, 40.0f, 20.0f }, 4);
}

TEST (Theme, ADefaultThemeDrawsNothingVisible)
{
    const Theme theme;
    LookAndFeel lookAndFeel (theme);
    melatonin::DropShadow cardShadow (theme.cardShadow.toShadow());
    GrainTexture grain;
    ImageShadow imageShadow (theme.knobContactShadow);

    for (const auto scale : { 1.0f, 2.0f })
    {
        const auto picture = PictureRenderer::ofDrawing (200, 140, scale, [&] (juce::Graphics& g) {
            drawEverything (g, lookAndFeel, theme, cardShadow, grain, imageShadow);
        });
        EXPECT_TRUE (PixelProbe::isFullyTransparent (picture)) << "at " << scale << "x";
    }
    EXPECT_FALSE (grain.getImage().isValid());
}

} // namespace
} // namespace vo::test
