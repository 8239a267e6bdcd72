#include "ImageShadow.h"

#include "DisplayScale.h"
#include "ThreeSliceImage.h"
#include "melatonin/StackBlur.h"

namespace vo::gui
{

namespace
{

// One empty pixel around the blurred margin keeps the edge repeat of the
// blur transparent.
constexpr int kBorder = 1;

} // namespace

ImageShadow::ImageShadow (juce::Colour colourToUse, int radiusToUse, juce::Point<int> offsetToUse)
    : colour (colourToUse), radius (radiusToUse), offset (offsetToUse)
{
}

ImageShadow::ImageShadow (const ShadowSpec& recipe)
    : ImageShadow (recipe.colour, recipe.radius, { recipe.offsetX, recipe.offsetY })
{
}

void ImageShadow::draw (juce::Graphics& g, const juce::Image& source, juce::Rectangle<float> bounds, int capWidth)
{
    if (! source.isValid() || bounds.getWidth() < 1.0f || bounds.getHeight() < 1.0f)
        return;

    const auto scale = DisplayScale::of (g);
    const auto scaledRadius = juce::jlimit (0, kMaxRadius, juce::roundToInt (static_cast<float> (radius) * scale));
    const auto width = DisplayScale::pixels (bounds.getWidth(), scale);
    const auto height = DisplayScale::pixels (bounds.getHeight(), scale);

    const bool current = shadow.isValid() && source == cachedSource && width == cachedWidth && height == cachedHeight
                      && scaledRadius == cachedRadius && capWidth == cachedCap;
    if (! current)
        rebuild (source, width, height, scaledRadius, capWidth);

    const auto margin = static_cast<float> (scaledRadius + kBorder) / scale;
    const auto origin = bounds.getTopLeft() - juce::Point<float> (margin, margin) + offset.toFloat();
    DisplayScale::drawAt (g, shadow, origin, scale);
}

void ImageShadow::rebuild (const juce::Image& source, int width, int height, int scaledRadius, int capWidth)
{
    const auto margin = scaledRadius + kBorder;
    shadow = juce::Image (juce::Image::ARGB, width + 2 * margin, height + 2 * margin, true);
    {
        juce::Graphics g (shadow);
        drawThreeSliceImage (g, source, { margin, margin, width, height }, capWidth, nullptr);
    }
    recolour();
    if (scaledRadius > 0)
        melatonin::StackBlur::argb (shadow, scaledRadius);

    cachedSource = source;
    cachedWidth = width;
    cachedHeight = height;
    cachedRadius = scaledRadius;
    cachedCap = capWidth;
    ++builds;
}

// Every pixel becomes the shadow colour, as opaque as the source pixel times
// the colour's own alpha.
void ImageShadow::recolour()
{
    const auto colourAlpha = static_cast<int> (colour.getAlpha());
    juce::Image::BitmapData pixels (shadow, juce::Image::BitmapData::readWrite);
    for (int y = 0; y < pixels.height; ++y)
    {
        auto* line = reinterpret_cast<juce::PixelARGB*> (pixels.getLinePointer (y));
        for (int x = 0; x < pixels.width; ++x)
        {
            const auto alpha = (static_cast<int> (line[x].getAlpha()) * colourAlpha + 127) / 255;
            line[x] = colour.withAlpha (static_cast<juce::uint8> (alpha)).getPixelARGB();
        }
    }
}

} // namespace vo::gui
