#include "support/PictureRenderer.h"
#include "support/PixelProbe.h"

#include "gui/Card.h"
#include "gui/ImageShadow.h"
#include "gui/ThreeSliceImage.h"
#include "gui/melatonin/DropShadow.h"
#include "gui/melatonin/StackBlur.h"

#include <gtest/gtest.h>

namespace vo::test
{
using vo::gui::ImageShadow;
using vo::gui::Theme;
using vo::gui::ThreeSliceCache;
using vo::gui::drawCard;
using vo::gui::drawThreeSliceImage;

namespace
{

// 30 × 10: a red left cap of 5 pixels, a green middle, a blue right cap.
juce::Image threeColourStrip()
{
    juce::Image strip (juce::Image::ARGB, 30, 10, true);
    strip.clear ({ 0, 0, 5, 10 }, juce::Colours::red);
    strip.clear ({ 5, 0, 20, 10 }, juce::Colours::lime);
    strip.clear ({ 25, 0, 5, 10 }, juce::Colours::blue);
    return strip;
}

TEST (ThreeSliceImage, KeepsTheCapsAndStretchesTheMiddle)
{
    const auto strip = threeColourStrip();
    const auto picture = PictureRenderer::ofDrawing (120, 20, 1.0f, [&] (juce::Graphics& g) {
        drawThreeSliceImage (g, strip, { 0, 0, 120, 20 }, 5, nullptr);
    });

    // The height doubles, so each cap becomes 10 pixels wide.
    EXPECT_EQ (picture.getPixelAt (4, 10), juce::Colours::red);
    EXPECT_EQ (picture.getPixelAt (60, 10), juce::Colours::lime);
    EXPECT_EQ (picture.getPixelAt (115, 10), juce::Colours::blue);
    EXPECT_NE (picture.getPixelAt (14, 10), juce::Colours::red);
    EXPECT_NE (picture.getPixelAt (105, 10), juce::Colours::blue);
}

TEST (ThreeSliceImage, NullImageOrEmptyBoundsDrawNothing)
{
    ThreeSliceCache cache;
    const auto picture = PictureRenderer::ofDrawing (40, 20, 1.0f, [&] (juce::Graphics& g) {
        drawThreeSliceImage (g, {}, { 0, 0, 40, 20 }, 5, &cache);
        drawThreeSliceImage (g, threeColourStrip(), { 0, 0, 0, 20 }, 5, &cache);
    });
    EXPECT_TRUE (PixelProbe::isFullyTransparent (picture));
    EXPECT_EQ (cache.getBuildCount(), 0);
}

TEST (ThreeSliceImage, CacheRebuildsOnlyForANewSourceSizeScaleOrCap)
{
    const auto strip = threeColourStrip();
    ThreeSliceCache cache;
    auto paint = [&] (float scale, juce::Rectangle<int> bounds, int cap, const juce::Image& source) {
        PictureRenderer::ofDrawing (200, 40, scale, [&] (juce::Graphics& g) { drawThreeSliceImage (g, source, bounds, cap, &cache); });
    };

    paint (1.0f, { 0, 0, 120, 20 }, 5, strip);
    paint (1.0f, { 30, 10, 120, 20 }, 5, strip);
    paint (1.0f, { 0, 0, 120, 20 }, 40, strip);   // held to half the width: still 15
    paint (1.0f, { 0, 0, 120, 20 }, 15, strip);
    EXPECT_EQ (cache.getBuildCount(), 2);

    paint (2.0f, { 0, 0, 120, 20 }, 15, strip);
    paint (2.0f, { 0, 0, 120, 20 }, 15, strip);
    EXPECT_EQ (cache.getBuildCount(), 3);

    paint (2.0f, { 0, 0, 120, 20 }, 15, strip.createCopy());
    EXPECT_EQ (cache.getBuildCount(), 4);
}

TEST (ImageShadow, ARadiusScaledBeyond254IsClamped)
{
    ImageShadow shadow (juce::Colours::black, 200, {});
    PictureRenderer::ofDrawing (40, 20, 2.0f, [&] (juce::Graphics& g) {
        shadow.draw (g, threeColourStrip(), { 5.0f, 5.0f, 30.0f, 10.0f }, 5);
    });
    EXPECT_EQ (shadow.getScaledRadius(), ImageShadow::kMaxRadius);
    EXPECT_EQ (shadow.getImage().getWidth(), 60 + 2 * 254 + 2);
}

TEST (ImageShadow, FollowsTheSourceAlphaInItsColour)
{
    juce::Image dot (juce::Image::ARGB, 10, 10, true);
    dot.clear ({ 0, 0, 10, 10 }, juce::Colours::white.withAlpha (0.5f));
    ImageShadow shadow (juce::Colours::black.withAlpha (0.5f), 0, { 3, 4 });
    const auto picture = PictureRenderer::ofDrawing (40, 40, 1.0f, [&] (juce::Graphics& g) {
        shadow.draw (g, dot, { 10.0f, 10.0f, 10.0f, 10.0f }, 0);
    });

    EXPECT_NEAR (picture.getPixelAt (15, 16).getAlpha(), 128 * 128 / 255, 1);
    EXPECT_EQ (picture.getPixelAt (15, 16).getRed(), 0);
    EXPECT_EQ (picture.getPixelAt (11, 11).getAlpha(), 0);   // the offset moved it
}

TEST (ImageShadow, RebuildsOncePerScaleAndNeverOnAMove)
{
    ImageShadow shadow (juce::Colours::black, 6, { 0, 2 });
    const auto strip = threeColourStrip();
    auto paint = [&] (float scale, float x) {
        PictureRenderer::ofDrawing (120, 60, scale, [&] (juce::Graphics& g) { shadow.draw (g, strip, { x, 10.0f, 60.0f, 20.0f }, 5); });
    };

    paint (1.0f, 10.0f);
    const auto blurs = melatonin::StackBlur::runCount();
    paint (1.0f, 30.0f);
    EXPECT_EQ (melatonin::StackBlur::runCount(), blurs);
    EXPECT_EQ (shadow.getBuildCount(), 1);

    paint (2.0f, 30.0f);
    paint (2.0f, 10.0f);
    EXPECT_EQ (shadow.getBuildCount(), 2);
    EXPECT_EQ (shadow.getScaledRadius(), 12);
}

TEST (ImageShadow, NullSourceOrTinyBoundsDrawNothing)
{
    ImageShadow shadow (juce::Colours::black, 6, {});
    const auto picture = PictureRenderer::ofDrawing (40, 40, 1.0f, [&] (juce::Graphics& g) {
        shadow.draw (g, {}, { 0.0f, 0.0f, 20.0f, 20.0f }, 0);
        shadow.draw (g, threeColourStrip(), { 0.0f, 0.0f, 0.5f, 20.0f }, 0);
    });
    EXPECT_TRUE (PixelProbe::isFullyTransparent (picture));
    EXPECT_EQ (shadow.getBuildCount(), 0);
}

TEST (Card, DrawsShadowThenFillThenHairline)
{
    Theme theme;
    theme.cardBackground = juce::Colours::darkred;
    theme.hairline = juce::Colours::white;
    theme.radiusLarge = 6.0f;
    melatonin::DropShadow shadow (juce::Colours::black, 4, { 0, 6 });

    const auto picture = PictureRenderer::ofDrawing (80, 80, 1.0f, [&] (juce::Graphics& g) {
        drawCard (g, { 10.0f, 10.0f, 60.0f, 40.0f }, theme, &shadow);
    });

    EXPECT_EQ (picture.getPixelAt (40, 30), juce::Colours::darkred);
    EXPECT_EQ (picture.getPixelAt (40, 10), juce::Colours::white);   // the outline, inset half a pixel
    EXPECT_GT (picture.getPixelAt (40, 53).getAlpha(), 0);            // the shadow under it
    EXPECT_EQ (picture.getPixelAt (40, 53).getRed(), 0);
    EXPECT_EQ (shadow.getBuildCount(), 1);
}

} // namespace
} // namespace vo::test
