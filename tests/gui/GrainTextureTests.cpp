#include "support/PictureRenderer.h"
#include "support/PixelProbe.h"

#include "gui/GrainTexture.h"

#include <gtest/gtest.h>

#include <array>

namespace vo::test
{
using vo::gui::GrainTexture;

namespace
{

constexpr std::uint32_t kBackgroundSeed = 0x5EEDA110;

TEST (GrainTexture, SameSeedAndSizeGiveSamePixels)
{
    const auto first = GrainTexture::generate (64, 48, 0.4f, kBackgroundSeed);
    const auto second = GrainTexture::generate (64, 48, 0.4f, kBackgroundSeed);
    const auto otherSeed = GrainTexture::generate (64, 48, 0.4f, kBackgroundSeed + 1);

    EXPECT_TRUE (PixelProbe::sameAs (first, second));
    EXPECT_FALSE (PixelProbe::sameAs (first, otherSeed));
}

// Worked out by hand from the generator as described (48-bit LCG, one value
// discarded, column profile, row modulation, per-pixel noise) for seed
// 0x5EEDA110 at full opacity: alpha, and whether the pixel is white.
struct PinnedPixel
{
    int alpha;
    bool white;
};

constexpr std::array<std::array<PinnedPixel, 8>, 2> kPinned { {
    { { { 38, false }, { 150, false }, { 45, false }, { 58, false }, { 142, false }, { 44, false }, { 58, false }, { 66, false } } },
    { { { 17, false }, { 103, true }, { 39, false }, { 83, true }, { 30, true }, { 40, true }, { 26, false }, { 26, false } } },
} };

TEST (GrainTexture, FirstPixelsFollowTheGenerator)
{
    const auto grain = GrainTexture::generate (8, 2, 1.0f, kBackgroundSeed);
    const juce::Image::BitmapData data (grain, juce::Image::BitmapData::readOnly);

    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x)
        {
            const auto& pinned = kPinned[(size_t) y][(size_t) x];
            const auto pixel = *reinterpret_cast<const juce::PixelARGB*> (data.getPixelPointer (x, y));
            EXPECT_NEAR (pixel.getAlpha(), pinned.alpha, 1) << "pixel " << x << "," << y;
            EXPECT_EQ (pixel.getRed(), pinned.white ? pixel.getAlpha() : 0) << "pixel " << x << "," << y;
            EXPECT_EQ (pixel.getRed(), pixel.getGreen());
            EXPECT_EQ (pixel.getRed(), pixel.getBlue());
        }
}

TEST (GrainTexture, OpacityScalesAlpha)
{
    // seed 0x5EEDA111, 4 × 1 at half opacity, worked out the same way
    const auto grain = GrainTexture::generate (4, 1, 0.5f, 0x5EEDA111);
    const juce::Image::BitmapData data (grain, juce::Image::BitmapData::readOnly);
    const std::array<int, 4> alphas { 44, 35, 14, 50 };
    for (int x = 0; x < 4; ++x)
        EXPECT_NEAR (data.getPixelColour (x, 0).getAlpha(), alphas[(size_t) x], 1);
}

TEST (GrainTexture, ZeroOpacityDrawsAndAllocatesNothing)
{
    GrainTexture grain;
    const auto picture = PictureRenderer::ofDrawing (40, 30, 1.0f, [&] (juce::Graphics& g) {
        grain.draw (g, { 0, 0, 40, 30 }, 0.0f, kBackgroundSeed);
        grain.draw (g, { 0, 0, 40, 30 }, -0.2f, kBackgroundSeed);
    });

    EXPECT_TRUE (PixelProbe::isFullyTransparent (picture));
    EXPECT_FALSE (grain.getImage().isValid());
    EXPECT_EQ (grain.getBuildCount(), 0);
}

TEST (GrainTexture, RegeneratesOnlyWhenPixelsOpacityOrSeedChange)
{
    GrainTexture grain;
    auto drawAt = [&] (float scale, juce::Rectangle<int> area, float opacity, std::uint32_t seed) {
        PictureRenderer::ofDrawing (120, 80, scale, [&] (juce::Graphics& g) { grain.draw (g, area, opacity, seed); });
    };

    drawAt (1.0f, { 0, 0, 100, 60 }, 0.3f, kBackgroundSeed);
    drawAt (1.0f, { 10, 12, 100, 60 }, 0.3f, kBackgroundSeed);     // moved
    drawAt (1.0f, { 0, 0, 100, 60 }, 0.3005f, kBackgroundSeed);    // within tolerance
    EXPECT_EQ (grain.getBuildCount(), 1);

    drawAt (2.0f, { 0, 0, 100, 60 }, 0.3f, kBackgroundSeed);
    drawAt (2.0f, { 0, 0, 100, 60 }, 0.3f, kBackgroundSeed);
    EXPECT_EQ (grain.getBuildCount(), 2);
    EXPECT_EQ (grain.getImage().getWidth(), 200);
    EXPECT_EQ (grain.getImage().getHeight(), 120);

    drawAt (2.0f, { 0, 0, 100, 60 }, 0.5f, kBackgroundSeed);
    drawAt (2.0f, { 0, 0, 100, 60 }, 0.5f, kBackgroundSeed + 1);
    drawAt (2.0f, { 0, 0, 90, 60 }, 0.5f, kBackgroundSeed + 1);
    EXPECT_EQ (grain.getBuildCount(), 5);
}

TEST (GrainTexture, ScaleIsClampedToEightTimes)
{
    GrainTexture grain;
    PictureRenderer::ofDrawing (10, 10, 12.0f, [&] (juce::Graphics& g) { grain.draw (g, { 0, 0, 10, 10 }, 0.3f, 1); });
    EXPECT_EQ (grain.getImage().getWidth(), 80);
}

} // namespace
} // namespace vo::test
