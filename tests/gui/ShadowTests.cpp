#include "support/PictureRenderer.h"
#include "support/PixelProbe.h"

#include "gui/melatonin/DropShadow.h"
#include "gui/melatonin/InnerShadow.h"
#include "gui/melatonin/StackBlur.h"

#include <gtest/gtest.h>

namespace vo::test
{
namespace
{

juce::Path box (float x, float y, float w, float h)
{
    juce::Path path;
    path.addRectangle (x, y, w, h);
    return path;
}

int alphaAt (const juce::Image& picture, int x, int y)
{
    return picture.getPixelAt (x, y).getAlpha();
}

TEST (StackBlur, KeepsAUniformImageUniform)
{
    juce::Image image (juce::Image::SingleChannel, 30, 20, false);
    image.clear (image.getBounds(), juce::Colours::white.withAlpha (juce::uint8 { 200 }));
    melatonin::StackBlur::singleChannel (image, 7);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ (alphaAt (image, x, y), 200);
}

TEST (StackBlur, SpreadsAPointSymmetricallyWithTriangleWeights)
{
    juce::Image image (juce::Image::SingleChannel, 21, 21, true);
    image.setPixelAt (10, 10, juce::Colours::white);
    melatonin::StackBlur::singleChannel (image, 2);

    // Weights 1 2 3 2 1 per axis over (2 + 1)^2 = 9: the centre keeps 255 × 3/9 × 3/9.
    EXPECT_NEAR (alphaAt (image, 10, 10), 255 * 9 / 81, 1);
    EXPECT_EQ (alphaAt (image, 9, 10), alphaAt (image, 11, 10));
    EXPECT_EQ (alphaAt (image, 10, 8), alphaAt (image, 10, 12));
    EXPECT_NEAR (alphaAt (image, 8, 10), 255 * 3 / 81, 1);
    EXPECT_EQ (alphaAt (image, 7, 10), 0);
}

TEST (StackBlur, CountsEveryRun)
{
    juce::Image image (juce::Image::ARGB, 8, 8, true);
    const auto before = melatonin::StackBlur::runCount();
    melatonin::StackBlur::argb (image, 3);
    melatonin::StackBlur::argb (image, 0);
    EXPECT_EQ (melatonin::StackBlur::runCount(), before + 2);
}

TEST (CachedShadows, DropShadowFallsUnderTheShapeAtItsOffset)
{
    melatonin::DropShadow shadow (juce::Colours::black, 4, { 0, 10 });
    const auto picture = PictureRenderer::ofDrawing (80, 80, 1.0f, [&] (juce::Graphics& g) {
        shadow.render (g, box (20, 20, 40, 30));
    });

    EXPECT_GT (alphaAt (picture, 40, 55), 200);   // below the shape, inside the offset copy
    EXPECT_EQ (alphaAt (picture, 40, 12), 0);     // above: the offset moved it away
    EXPECT_GT (alphaAt (picture, 40, 62), 0);     // softened edge
    EXPECT_LT (alphaAt (picture, 40, 62), 200);
    EXPECT_EQ (alphaAt (picture, 5, 5), 0);
}

TEST (CachedShadows, InnerShadowStaysInsideTheShape)
{
    melatonin::InnerShadow shadow (juce::Colours::black, 5, { 0, 3 });
    const auto picture = PictureRenderer::ofDrawing (80, 80, 1.0f, [&] (juce::Graphics& g) {
        shadow.render (g, box (20, 20, 40, 40));
    });

    EXPECT_EQ (alphaAt (picture, 40, 18), 0);
    EXPECT_EQ (alphaAt (picture, 40, 62), 0);
    EXPECT_GT (alphaAt (picture, 40, 20), 100);   // top edge: the shadow comes down into it
    EXPECT_LT (alphaAt (picture, 40, 40), 10);    // the middle stays clear
}

TEST (CachedShadows, EmptyPathOrListDrawsNothing)
{
    melatonin::DropShadow shadow (juce::Colours::black, 4);
    melatonin::DropShadow none (std::initializer_list<melatonin::ShadowParameters> {});
    const auto picture = PictureRenderer::ofDrawing (40, 40, 1.0f, [&] (juce::Graphics& g) {
        shadow.render (g, box (10, 10, 0, 20));
        shadow.render (g, juce::Path());
        none.render (g, box (10, 10, 20, 20));
    });

    EXPECT_TRUE (PixelProbe::isFullyTransparent (picture));
    EXPECT_EQ (shadow.getBuildCount(), 0);
}

TEST (CachedShadows, MovingAShapeRedrawsTheCacheWithoutBlurring)
{
    melatonin::DropShadow shadow ({ { juce::Colours::black, 6, { 0, 2 } }, { juce::Colours::black, 2, { 1, 1 } } });
    const auto atFirstPlace = PictureRenderer::ofDrawing (120, 120, 1.0f, [&] (juce::Graphics& g) {
        shadow.render (g, box (20, 20, 40, 30));
    });
    const auto blursAfterBuild = melatonin::StackBlur::runCount();

    const auto moved = PictureRenderer::ofDrawing (120, 120, 1.0f, [&] (juce::Graphics& g) {
        shadow.render (g, box (50, 60, 40, 30));
    });

    EXPECT_EQ (shadow.getBuildCount(), 1);
    EXPECT_EQ (melatonin::StackBlur::runCount(), blursAfterBuild);
    EXPECT_EQ (alphaAt (moved, 70, 80), alphaAt (atFirstPlace, 40, 40));
    EXPECT_EQ (alphaAt (moved, 52, 62), alphaAt (atFirstPlace, 22, 22));
}

TEST (CachedShadows, AnotherShapeRebuilds)
{
    melatonin::DropShadow shadow (juce::Colours::black, 6);
    PictureRenderer::ofDrawing (120, 120, 1.0f, [&] (juce::Graphics& g) {
        shadow.render (g, box (20, 20, 40, 30));
        shadow.render (g, box (20, 20, 40, 31));
    });
    EXPECT_EQ (shadow.getBuildCount(), 2);
}

TEST (CachedShadows, AChangeOfScaleRebuildsExactlyOnce)
{
    melatonin::DropShadow shadow (juce::Colours::black, 6);
    auto paintAt = [&] (float scale) {
        PictureRenderer::ofDrawing (100, 100, scale, [&] (juce::Graphics& g) { shadow.render (g, box (20, 20, 40, 30)); });
    };

    paintAt (1.0f);
    paintAt (1.0f);
    EXPECT_EQ (shadow.getBuildCount(), 1);
    paintAt (2.0f);
    paintAt (2.0f);
    EXPECT_EQ (shadow.getBuildCount(), 2);
    EXPECT_FLOAT_EQ (shadow.getCachedScale(), 2.0f);
}

TEST (CachedShadows, ScaleIsClamped)
{
    melatonin::DropShadow shadow (juce::Colours::black, 2);
    PictureRenderer::ofDrawing (10, 10, 0.1f, [&] (juce::Graphics& g) { shadow.render (g, box (2, 2, 5, 5)); });
    EXPECT_FLOAT_EQ (shadow.getCachedScale(), 0.25f);
}

} // namespace
} // namespace vo::test
