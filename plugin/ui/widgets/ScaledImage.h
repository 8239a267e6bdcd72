#pragma once

#include <juce_graphics/juce_graphics.h>

namespace vo::plugins::zel::ui
{

// A copy of one artwork image reduced for the pixel size it is drawn at, by
// repeated halving while it is at least twice the needed size: each halving
// averages well, where one big reduction would alias the fine grain of the
// photographs. Rebuilt only when the needed size changes.
class ScaledImage
{
public:
    static constexpr int kSmallestPixels = 4;

    // The source reduced for `neededPixels` (the larger side it will cover
    // on screen); the source itself when no halving is needed.
    const juce::Image& forPixels (const juce::Image& source, int neededPixels);

    int getBuildCount() const noexcept { return builds; }

    static juce::Image reduce (const juce::Image& source, int neededPixels);

private:
    juce::Image cachedSource;
    juce::Image scaled;
    int cachedPixels = 0;
    int builds = 0;
};

} // namespace vo::plugins::zel::ui
