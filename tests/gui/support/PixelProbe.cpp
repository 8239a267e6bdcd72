#include "PixelProbe.h"

namespace vo::test
{

bool PixelProbe::isFullyTransparent (const juce::Image& picture)
{
    return maxAlpha (picture) == 0;
}

int PixelProbe::maxAlpha (const juce::Image& picture)
{
    return mostOpaqueColour (picture).getAlpha();
}

juce::Colour PixelProbe::mostOpaqueColour (const juce::Image& picture)
{
    const juce::Image::BitmapData data (picture, juce::Image::BitmapData::readOnly);
    juce::Colour best;
    for (int y = 0; y < data.height; ++y)
        for (int x = 0; x < data.width; ++x)
            if (const auto colour = data.getPixelColour (x, y); colour.getAlpha() > best.getAlpha())
                best = colour;
    return best;
}

bool PixelProbe::sameAs (const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds())
        return false;
    const juce::Image::BitmapData da (a, juce::Image::BitmapData::readOnly);
    const juce::Image::BitmapData db (b, juce::Image::BitmapData::readOnly);
    for (int y = 0; y < da.height; ++y)
        for (int x = 0; x < da.width; ++x)
            if (da.getPixelColour (x, y) != db.getPixelColour (x, y))
                return false;
    return true;
}

} // namespace vo::test
