#include "ScaledImage.h"

namespace vo::plugins::zel::ui
{

const juce::Image& ScaledImage::forPixels (const juce::Image& source, int neededPixels)
{
    const auto needed = juce::jmax (kSmallestPixels, neededPixels);
    if (! scaled.isValid() || source != cachedSource || needed != cachedPixels)
    {
        scaled = reduce (source, needed);
        cachedSource = source;
        cachedPixels = needed;
        ++builds;
    }
    return scaled;
}

juce::Image ScaledImage::reduce (const juce::Image& source, int neededPixels)
{
    auto image = source;
    const auto needed = juce::jmax (kSmallestPixels, neededPixels);
    while (juce::jmax (image.getWidth(), image.getHeight()) >= 2 * needed)
        image = image.rescaled (juce::jmax (1, image.getWidth() / 2), juce::jmax (1, image.getHeight() / 2),
                                juce::Graphics::highResamplingQuality);
    return image;
}

} // namespace vo::plugins::zel::ui
