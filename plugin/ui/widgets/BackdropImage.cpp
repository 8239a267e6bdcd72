#include "BackdropImage.h"

#include <cmath>
#include <cstring>

namespace vo::plugins::zel::ui
{

namespace
{

constexpr float kLowestGain = 0.5f;
constexpr float kHighestGain = 2.0f;
constexpr double kDarkestMean = 1.0;

float channel (juce::uint8 value) noexcept
{
    return static_cast<float> (value) / 255.0f;
}

} // namespace

std::vector<float> BackdropImage::rowGains (const juce::Image& panel)
{
    if (! panel.isValid())
        return {};
    const juce::Image::BitmapData pixels (panel, juce::Image::BitmapData::readOnly);
    std::vector<double> means ((size_t) pixels.height);
    double overall = 0.0;
    for (int y = 0; y < pixels.height; ++y)
    {
        double sum = 0.0;
        for (int x = 0; x < pixels.width; ++x)
        {
            const auto colour = pixels.getPixelColour (x, y);
            sum += (colour.getRed() + colour.getGreen() + colour.getBlue()) / 3.0;
        }
        means[(size_t) y] = sum / juce::jmax (1, pixels.width);
        overall += means[(size_t) y];
    }
    overall /= juce::jmax (1, pixels.height);
    if (overall <= kDarkestMean)
        return {};

    std::vector<float> gains ((size_t) pixels.height);
    for (size_t y = 0; y < gains.size(); ++y)
        gains[y] = juce::jlimit (kLowestGain, kHighestGain, static_cast<float> (overall / juce::jmax (means[y], 1.0)));
    return gains;
}

int BackdropImage::tileHeight (const juce::Image& panel, int pixelWidth)
{
    return juce::jmax (1, juce::roundToInt (static_cast<float> (panel.getHeight()) * static_cast<float> (pixelWidth)
                                            / static_cast<float> (panel.getWidth())));
}

juce::Image BackdropImage::render (const juce::Image& panel, const std::vector<float>& gains, int width, int height,
                                   float scale)
{
    const auto pixelWidth = juce::jmax (1, juce::roundToInt (static_cast<float> (width) * scale));
    const auto pixelHeight = juce::jmax (1, juce::roundToInt (static_cast<float> (height) * scale));
    if (! panel.isValid())
        return gradient (pixelWidth, pixelHeight, scale);

    const auto tile = tileHeight (panel, pixelWidth);
    const auto scaled = panel.rescaled (pixelWidth, tile, juce::Graphics::highResamplingQuality)
                            .convertedToFormat (juce::Image::ARGB);
    const auto tiles = juce::jlimit (1, kMaxTiles, (pixelHeight + tile - 1) / tile);

    juce::Image picture (juce::Image::ARGB, pixelWidth, pixelHeight, true);
    const juce::Image::BitmapData source (scaled, juce::Image::BitmapData::readOnly);
    juce::Image::BitmapData target (picture, juce::Image::BitmapData::writeOnly);
    for (int y = 0; y < pixelHeight; ++y)
    {
        const auto index = juce::jmin (y / tile, tiles - 1);
        const auto inTile = juce::jmin (y - index * tile, tile - 1);
        const auto sourceRow = index % 2 == 1 ? tile - 1 - inTile : inTile;
        const auto panelRow = juce::jlimit (0, panel.getHeight() - 1, sourceRow * panel.getHeight() / tile);
        const auto gain = gains.empty() ? 1.0f : gains[(size_t) panelRow];

        auto* row = reinterpret_cast<juce::PixelARGB*> (target.getLinePointer (y));
        std::memcpy (row, source.getLinePointer (sourceRow), (size_t) pixelWidth * sizeof (juce::PixelARGB));
        tintRow (row, pixelWidth, static_cast<float> (y) / scale, gain);
    }
    return picture;
}

// Multiplies each channel so the panel's grain keeps its shape while its
// mean follows the gradient: top colour at the top, bottom colour 608 lower.
void BackdropImage::tintRow (juce::PixelARGB* row, int width, float designY, float gain)
{
    const auto top = juce::Colour (kTopColour);
    const auto target = top.interpolatedWith (juce::Colour (kBottomColour), juce::jlimit (0.0f, 1.0f, designY / kGradientHeight));
    const float factor[3] = { channel (target.getRed()) / channel (top.getRed()) * gain,
                              channel (target.getGreen()) / channel (top.getGreen()) * gain,
                              channel (target.getBlue()) / channel (top.getBlue()) * gain };
    for (int x = 0; x < width; ++x)
    {
        auto pixel = row[x];
        pixel.unpremultiply();
        const auto scaleChannel = [] (juce::uint8 value, float by) {
            return static_cast<juce::uint8> (juce::jmin (255, juce::roundToInt (static_cast<float> (value) * by)));
        };
        pixel.setARGB (pixel.getAlpha(), scaleChannel (pixel.getRed(), factor[0]),
                       scaleChannel (pixel.getGreen(), factor[1]), scaleChannel (pixel.getBlue(), factor[2]));
        pixel.premultiply();
        row[x] = pixel;
    }
}

juce::Image BackdropImage::gradient (int pixelWidth, int pixelHeight, float scale)
{
    juce::Image picture (juce::Image::ARGB, pixelWidth, pixelHeight, true);
    juce::Graphics g (picture);
    g.setGradientFill (juce::ColourGradient::vertical (juce::Colour (kTopColour), 0.0f, juce::Colour (kBottomColour),
                                                       kGradientHeight * scale));
    g.fillAll();
    return picture;
}

} // namespace vo::plugins::zel::ui
