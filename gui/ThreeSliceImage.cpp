#include "ThreeSliceImage.h"

#include "DisplayScale.h"

namespace vo::gui
{

void drawThreeSliceImage (juce::Graphics& g, const juce::Image& image, juce::Rectangle<int> bounds,
                          int capWidth, ThreeSliceCache* cache)
{
    if (! image.isValid() || bounds.isEmpty())
        return;

    const auto cap = juce::jlimit (0, image.getWidth() / 2, capWidth);
    const auto scale = DisplayScale::of (g);
    const auto width = DisplayScale::pixels (static_cast<float> (bounds.getWidth()), scale);
    const auto height = DisplayScale::pixels (static_cast<float> (bounds.getHeight()), scale);

    if (cache != nullptr)
        DisplayScale::drawAt (g, cache->imageFor (image, width, height, cap), bounds.getTopLeft().toFloat(), scale);
    else
        DisplayScale::drawAt (g, ThreeSliceCache::render (image, width, height, cap), bounds.getTopLeft().toFloat(), scale);
}

} // namespace vo::gui
