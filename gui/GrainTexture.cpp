#include "GrainTexture.h"

#include "DisplayScale.h"

#include <cmath>
#include <vector>

namespace vo::gui
{

namespace
{

// Opacity changes smaller than this are invisible in 8-bit alpha.
constexpr float kOpacityTolerance = 0.001f;

// Column profile: a target that jumps every 20 ... 59 columns, followed
// with a one-pole glide, gives the soft vertical streaks.
constexpr int kHoldBase = 20;
constexpr int kHoldRange = 40;
constexpr float kGlide = 0.06f;

// Row modulation keeps 35 % of the row above, so streaks break up gently.
constexpr float kRowWeight = 0.65f;
constexpr float kRowCarry = 0.35f;

// How much of the profile, and how much per-pixel noise, reaches a pixel.
constexpr float kProfileDepth = 0.45f;
constexpr float kProfileFloor = 0.55f;
constexpr float kPixelNoise = 0.3f;

float bipolar (juce::Random& random)
{
    return 2.0f * random.nextFloat() - 1.0f;
}

std::vector<float> columnProfile (juce::Random& random, int width)
{
    random.nextFloat(); // the first value of a seed is not used

    std::vector<float> profile (static_cast<std::size_t> (width));
    float level = 0.0f;
    float target = 0.0f;
    int hold = 0;
    for (auto& column : profile)
    {
        if (--hold <= 0)
        {
            target = bipolar (random);
            hold = random.nextInt (kHoldRange) + kHoldBase;
        }
        level += (target - level) * kGlide;
        column = level;
    }
    return profile;
}

juce::PixelARGB grainPixel (float t, float opacity)
{
    const auto alpha = static_cast<juce::uint8> (juce::roundToInt (juce::jlimit (0.0f, 1.0f, std::abs (t) * opacity) * 255.0f));
    const auto grey = t > 0.0f ? alpha : juce::uint8 { 0 };
    return { alpha, grey, grey, grey };
}

} // namespace

juce::Image GrainTexture::generate (int width, int height, float opacity, std::uint32_t seed)
{
    juce::Image picture (juce::Image::ARGB, width, height, false);
    juce::Image::BitmapData pixels (picture, juce::Image::BitmapData::writeOnly);
    juce::Random random (static_cast<juce::int64> (seed));

    const auto profile = columnProfile (random, width);
    float rowLevel = 0.0f;
    for (int y = 0; y < height; ++y)
    {
        rowLevel = bipolar (random) * kRowWeight + (y > 0 ? rowLevel * kRowCarry : 0.0f);
        auto* line = reinterpret_cast<juce::PixelARGB*> (pixels.getLinePointer (y));
        for (int x = 0; x < width; ++x)
        {
            const auto t = (profile[(std::size_t) x] * kProfileDepth + kProfileFloor) * rowLevel + bipolar (random) * kPixelNoise;
            line[x] = grainPixel (t, opacity);
        }
    }
    return picture;
}

void GrainTexture::draw (juce::Graphics& g, juce::Rectangle<int> area, float opacity, std::uint32_t seed)
{
    if (opacity <= 0.0f || area.isEmpty())
        return;

    const auto scale = DisplayScale::of (g);
    const auto width = DisplayScale::pixels (static_cast<float> (area.getWidth()), scale);
    const auto height = DisplayScale::pixels (static_cast<float> (area.getHeight()), scale);

    if (! isCurrent (width, height, opacity, seed))
    {
        image = generate (width, height, opacity, seed);
        cachedWidth = width;
        cachedHeight = height;
        cachedOpacity = opacity;
        cachedSeed = seed;
        ++builds;
    }

    DisplayScale::drawAt (g, image, area.getTopLeft().toFloat(), scale);
}

bool GrainTexture::isCurrent (int width, int height, float opacity, std::uint32_t seed) const
{
    return image.isValid() && width == cachedWidth && height == cachedHeight
        && std::abs (opacity - cachedOpacity) <= kOpacityTolerance && seed == cachedSeed;
}

} // namespace vo::gui
