// The widgets' shared parts: the glow's steps, the halving image cache, the
// capsule's sizes and the backdrop's tiles.

#include "tests/gui/support/PictureRenderer.h"

#include "plugin/ui/ProductTheme.h"
#include "plugin/ui/widgets/Artwork.h"
#include "plugin/ui/widgets/Backdrop.h"
#include "plugin/ui/widgets/BackdropImage.h"
#include "plugin/ui/widgets/CapsuleButton.h"
#include "plugin/ui/widgets/Glow.h"
#include "plugin/ui/widgets/Lamp.h"
#include "plugin/ui/widgets/ScaledImage.h"

#include <gtest/gtest.h>

namespace vo::test
{
namespace
{

using namespace plugins::zel::ui;

TEST (Glow, MovesByTheElapsedTimeOverOneHundredTwentyMilliseconds)
{
    Glow glow (1000);
    glow.setTarget (true);
    EXPECT_TRUE (glow.step (1030));
    EXPECT_NEAR (glow.getValue(), 0.25f, 1e-6f);
    EXPECT_TRUE (glow.step (1120));
    EXPECT_FLOAT_EQ (glow.getValue(), 1.0f); // no overshoot
    EXPECT_FALSE (glow.step (1150)); // nothing to do: the widget does not repaint
}

TEST (Glow, LimitsALongPauseToTwoHundredMilliseconds)
{
    Glow glow (0);
    glow.setTarget (true);
    glow.step (60);
    glow.setTarget (false);
    glow.step (100000);
    EXPECT_FLOAT_EQ (glow.getValue(), 0.0f);
}

TEST (Glow, FadesTowardTheLatestOfTwoTargetsWithinOneStep)
{
    Glow glow (0);
    glow.setTarget (true);
    glow.step (60);
    glow.setTarget (false);
    glow.setTarget (true);
    glow.step (90);
    EXPECT_NEAR (glow.getValue(), 0.75f, 1e-6f);
}

TEST (Lamp, JumpsWhenToldToAndIgnoresClicks)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    Lamp lamp (productTheme());
    lamp.setLit (true, true);
    EXPECT_FLOAT_EQ (lamp.getGlow(), 1.0f);
    bool self = true, children = true;
    lamp.getInterceptsMouseClicks (self, children);
    EXPECT_FALSE (self);
    EXPECT_FALSE (children);
}

TEST (ScaledImage, HalvesWhileTwiceTheNeededSizeAndCachesPerSize)
{
    const juce::Image source (juce::Image::ARGB, 256, 256, true);
    EXPECT_EQ (ScaledImage::reduce (source, 36).getWidth(), 64);  // 256, 128, 64 (< 72)
    EXPECT_EQ (ScaledImage::reduce (source, 128).getWidth(), 128);
    EXPECT_EQ (ScaledImage::reduce (source, 129).getWidth(), 256);
    EXPECT_EQ (ScaledImage::reduce (source, 1).getWidth(), 4); // never below 4 pixels
    ScaledImage cache;
    cache.forPixels (source, 36);
    cache.forPixels (source, 36);
    EXPECT_EQ (cache.getBuildCount(), 1);
    cache.forPixels (source, 72);
    EXPECT_EQ (cache.getBuildCount(), 2);
}

TEST (Artwork, FindsEveryPictureTheWidgetsDrawAndNothingElse)
{
    for (const auto* name : { "zelbuttonoff_png", "zelbuttonon_png", "zelbuttonred_png", "zellampon_png",
                              "zellampoff_png", "zelswitchon_png", "zelswitchoff_png", "zelcapsule_png",
                              "zelpanel_png", "zelscrew_png" })
        EXPECT_TRUE (Artwork::load (name).isValid()) << name;
    EXPECT_FALSE (Artwork::load ("nothing_png").isValid());
}

TEST (CapsuleButton, TakesClicksOnItsBodyAndSizesItselfForItsText)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    CapsuleButton button ("yes", productTheme());
    button.setBounds (0, 0, 100, 44);
    EXPECT_TRUE (button.hitTest (8, 8));
    EXPECT_FALSE (button.hitTest (7, 20));
    EXPECT_FALSE (button.hitTest (50, 36));
    EXPECT_EQ (CapsuleButton::preferredWidthFor ("ok"), 80);
    const auto longText = juce::String ("download and install the update");
    EXPECT_GT (CapsuleButton::preferredWidthFor (longText), 80);
}

TEST (Backdrop, PreparesItsTextureAtHalfStepsBetweenHalfAndTwice)
{
    EXPECT_FLOAT_EQ (Backdrop::textureScale (1.0f), 1.0f);
    EXPECT_FLOAT_EQ (Backdrop::textureScale (1.25f), 1.5f);
    EXPECT_FLOAT_EQ (Backdrop::textureScale (0.25f), 0.5f);
    EXPECT_FLOAT_EQ (Backdrop::textureScale (3.0f), 2.0f);
}

TEST (Backdrop, RebuildsItsImageOnlyForANewSize)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    Backdrop backdrop (productTheme());
    backdrop.setBounds (0, 0, 200, 150);
    PictureRenderer::ofComponent (backdrop, 1.0f);
    PictureRenderer::ofComponent (backdrop, 1.0f);
    EXPECT_EQ (backdrop.getBuildCount(), 1);
    backdrop.setSize (200, 160);
    PictureRenderer::ofComponent (backdrop, 1.0f);
    EXPECT_EQ (backdrop.getBuildCount(), 2);
}

// Mean of the largest channel difference between two rows.
double rowDifference (const juce::Image& picture, int a, int b)
{
    double sum = 0.0;
    for (int x = 0; x < picture.getWidth(); ++x)
    {
        const auto p = picture.getPixelAt (x, a);
        const auto q = picture.getPixelAt (x, b);
        sum += juce::jmax (std::abs (p.getRed() - q.getRed()), std::abs (p.getGreen() - q.getGreen()),
                           std::abs (p.getBlue() - q.getBlue()));
    }
    return sum / picture.getWidth();
}

TEST (BackdropImage, MirrorsTheSecondTileSoTheJoinHasNoSeam)
{
    const auto panel = Artwork::load ("zelpanel_png");
    ASSERT_TRUE (panel.isValid());
    const auto gains = BackdropImage::rowGains (panel);
    const int width = 320;
    const auto tile = BackdropImage::tileHeight (panel, width);
    const auto picture = BackdropImage::render (panel, gains, width, 2 * tile + 10, 1.0f);

    // The rows on each side of the join are one source row, drawn twice: only
    // the gradient moves between them, less than neighbouring rows differ.
    const auto join = rowDifference (picture, tile - 1, tile);
    double inside = 0.0;
    for (int y = 1; y < tile - 1; ++y)
        inside += rowDifference (picture, y - 1, y);
    inside /= tile - 2;
    EXPECT_LT (join, 1.0);
    EXPECT_LT (join, inside);

    // Unmirrored, the last row of one tile would meet the first of the next.
    EXPECT_GT (rowDifference (picture, 0, tile - 1), join);
}

TEST (BackdropImage, EvensOutThePanelsRowsWithinHalfAndTwice)
{
    const auto gains = BackdropImage::rowGains (Artwork::load ("zelpanel_png"));
    ASSERT_EQ (gains.size(), 576u);
    for (const auto gain : gains)
    {
        EXPECT_GE (gain, 0.5f);
        EXPECT_LE (gain, 2.0f);
    }
    EXPECT_TRUE (BackdropImage::rowGains (juce::Image (juce::Image::ARGB, 8, 8, true)).empty());
}

TEST (BackdropImage, IsTheGradientAloneWithoutAPanel)
{
    const auto picture = BackdropImage::render ({}, {}, 10, 608, 1.0f);
    EXPECT_EQ (picture.getPixelAt (5, 0), juce::Colour (BackdropImage::kTopColour));
    const auto bottom = picture.getPixelAt (5, 607);
    EXPECT_NEAR (bottom.getRed(), juce::Colour (BackdropImage::kBottomColour).getRed(), 2);
}

} // namespace
} // namespace vo::test
