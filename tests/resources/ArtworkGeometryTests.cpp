#include "CircleFit.h"
#include "EmbeddedImage.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace vo::test
{
namespace
{
constexpr double calibrationTolerance = 0.5;

struct Calibration
{
    const char* stem;
    double cx;
    double cy;
    double radius;
    bool lit;
};

// The editor's table: each widget maps its own circle onto these.
const Calibration calibrations[] = {
    { "zelbuttonoff", 127.64, 132.01, 120.13, false }, { "zelbuttonon", 127.64, 129.79, 120.08, true },
    { "zelbuttonred", 127.65, 128.24, 120.09, true },  { "zellampon", 111.04, 98.40, 90.26, true },
    { "zellampoff", 128.96, 133.85, 98.31, false },    { "zelswitchon", 127.86, 126.21, 76.01, false },
    { "zelswitchoff", 127.32, 127.78, 76.23, false },
};

class RoundArtwork : public ::testing::TestWithParam<Calibration>
{
};

TEST_P (RoundArtwork, BodySitsOnItsCalibrationCircle)
{
    const auto& c = GetParam();
    const auto image = embeddedImage (c.stem);
    ASSERT_TRUE (image);
    ASSERT_EQ (image->width(), 256);
    ASSERT_EQ (image->height(), 256);
    const auto fit = fitAlphaEdge (*image, 0.5);
    ASSERT_TRUE (fit);
    EXPECT_NEAR (fit->cx, c.cx, calibrationTolerance);
    EXPECT_NEAR (fit->cy, c.cy, calibrationTolerance);
    EXPECT_NEAR (fit->radius, c.radius, calibrationTolerance);
}

TEST_P (RoundArtwork, ShowsNothingOutsideItsBodyButGlow)
{
    const auto& c = GetParam();
    const auto image = embeddedImage (c.stem);
    ASSERT_TRUE (image);
    auto strongest = 0.0;
    for (int y = 0; y < image->height(); ++y)
        for (int x = 0; x < image->width(); ++x)
            if (std::hypot (x + 0.5 - c.cx, y + 0.5 - c.cy) > c.radius + 1.0)
                strongest = std::max (strongest, alphaOf (*image, x, y));
    if (c.lit)
        EXPECT_LT (strongest, 0.5);
    else
        EXPECT_EQ (strongest, 0.0);
}

INSTANTIATE_TEST_SUITE_P (Table, RoundArtwork, ::testing::ValuesIn (calibrations),
                          [] (const auto& testInfo) { return std::string (testInfo.param.stem); });

void expectFace (const char* stem, double bodyFraction)
{
    const auto image = embeddedImage (stem);
    ASSERT_TRUE (image);
    EXPECT_EQ (image->width(), image->height());
    EXPECT_GE (image->width(), 512);
    const auto fit = fitAlphaEdge (*image, 0.5);
    ASSERT_TRUE (fit);
    EXPECT_NEAR (fit->cx, image->width() / 2.0, calibrationTolerance);
    EXPECT_NEAR (fit->cy, image->height() / 2.0, calibrationTolerance);
    EXPECT_NEAR (2.0 * fit->radius, bodyFraction * image->width(), 2.0 * calibrationTolerance);
}

TEST (KnobFace, BigKnobSpansItsDrawnFraction) { expectFace ("zelknob", 0.945); }
TEST (KnobFace, DarkFaceSpansItsDrawnFraction) { expectFace ("knob20face", 0.9717); }
TEST (KnobFace, CreamFaceFillsTheInscribedCircle) { expectFace ("knob22face", 1.0); }

void expectColumnsAlike (const char* stem, int width, int height, int cap)
{
    const auto image = embeddedImage (stem);
    ASSERT_TRUE (image);
    ASSERT_EQ (image->width(), width);
    ASSERT_EQ (image->height(), height);
    // The middle slice is stretched: any change along x would show as bands.
    auto worst = 0;
    for (int y = 0; y < height; ++y)
        for (int x = cap; x < width - cap; ++x)
            for (int c = 0; c < 4; ++c)
                worst = std::max (worst, std::abs (image->pixel (x, y)[c] - image->pixel (cap, y)[c]));
    EXPECT_LE (worst, 1);
}

TEST (ThreeSlice, CapsuleMiddleIsTheSameInEveryColumn) { expectColumnsAlike ("zelcapsule", 768, 457, 228); }
TEST (ThreeSlice, PresetWindowMiddleIsTheSameInEveryColumn) { expectColumnsAlike ("zelpresetwindow", 1024, 384, 192); }

TEST (Panel, IsOpaqueFineGrainAtTheTintColour)
{
    const auto image = embeddedImage ("zelpanel");
    ASSERT_TRUE (image);
    ASSERT_EQ (image->width(), 1024);
    ASSERT_EQ (image->height(), 576);
    // Large features would show through the editor's tint: compare 64-pixel blocks.
    constexpr int block = 64;
    double lowest = 255.0;
    double highest = 0.0;
    double sum[3] = {};
    for (int by = 0; by < image->height(); by += block)
        for (int bx = 0; bx < image->width(); bx += block)
        {
            double level = 0.0;
            for (int y = by; y < by + block; ++y)
                for (int x = bx; x < bx + block; ++x)
                {
                    const auto* p = image->pixel (x, y);
                    ASSERT_EQ (p[3], 255);
                    level += (p[0] + p[1] + p[2]) / 3.0;
                    for (int c = 0; c < 3; ++c)
                        sum[c] += p[c];
                }
            level /= block * block;
            lowest = std::min (lowest, level);
            highest = std::max (highest, level);
        }
    EXPECT_LT (highest - lowest, 3.0);
    const auto count = static_cast<double> (image->width() * image->height());
    EXPECT_NEAR (sum[0] / count, 0xdc, 6.0);
    EXPECT_NEAR (sum[1] / count, 0x92, 6.0);
    EXPECT_NEAR (sum[2] / count, 0x90, 6.0);
}

TEST (FixedSizes, MatchWhatTheEditorExpects)
{
    const struct
    {
        const char* stem;
        int width;
        int height;
    } sizes[] = { { "zelscrew", 192, 192 }, { "zelcapsule", 768, 457 }, { "zelpresetwindow", 1024, 384 } };
    for (const auto& s : sizes)
    {
        const auto image = embeddedImage (s.stem);
        ASSERT_TRUE (image) << s.stem;
        EXPECT_EQ (image->width(), s.width) << s.stem;
        EXPECT_EQ (image->height(), s.height) << s.stem;
    }
    const auto wordmark = embeddedImage ("zelwordmark");
    ASSERT_TRUE (wordmark);
    EXPECT_EQ (wordmark->height(), 4 * 56);
    for (const auto* mark : { "logomoon", "logoblack", "rorozudizizodoveduzarov", "reravazavarozadir", "vurediroviderude" })
        EXPECT_TRUE (embeddedImage (mark)) << mark;
}
} // namespace

} // namespace vo::test
