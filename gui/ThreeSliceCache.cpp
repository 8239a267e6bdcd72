#include "ThreeSliceCache.h"

namespace vo::gui
{

const juce::Image& ThreeSliceCache::imageFor (const juce::Image& source, int width, int height, int cap)
{
    const bool current = scaled.isValid() && source == cachedSource && width == cachedWidth
                      && height == cachedHeight && cap == cachedCap;
    if (! current)
    {
        scaled = render (source, width, height, cap);
        cachedSource = source;
        cachedWidth = width;
        cachedHeight = height;
        cachedCap = cap;
        ++builds;
    }
    return scaled;
}

juce::Image ThreeSliceCache::render (const juce::Image& source, int width, int height, int cap)
{
    const auto sourceWidth = source.getWidth();
    const auto sourceHeight = source.getHeight();
    const auto middleWidth = juce::jmax (1, sourceWidth - 2 * cap);

    // The caps scale only with the height, so they keep their shape.
    const auto scaledCap = juce::jmin (juce::roundToInt (static_cast<float> (cap) * static_cast<float> (height)
                                                         / static_cast<float> (sourceHeight)),
                                       width / 2);

    juce::Image picture (juce::Image::ARGB, width, height, true);
    juce::Graphics g (picture);
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);

    if (scaledCap > 0 && cap > 0)
    {
        g.drawImage (source, 0, 0, scaledCap, height, 0, 0, cap, sourceHeight);
        g.drawImage (source, width - scaledCap, 0, scaledCap, height, sourceWidth - cap, 0, cap, sourceHeight);
    }
    if (width - 2 * scaledCap > 0)
        g.drawImage (source, scaledCap, 0, width - 2 * scaledCap, height, cap, 0, middleWidth, sourceHeight);

    return picture;
}

} // namespace vo::gui
