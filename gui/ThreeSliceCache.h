#pragma once

#include <juce_graphics/juce_graphics.h>

namespace vo::gui
{

// The last horizontally stretched copy of a bitmap: its ends (the caps) keep
// their proportions, only the middle stretches. Rebuilt only when the
// source, the target pixel size or the cap width changes.
class ThreeSliceCache
{
public:
    // The source stretched to width × height pixels with `cap` source pixels
    // kept at each end; `cap` is already limited to half the source width.
    const juce::Image& imageFor (const juce::Image& source, int width, int height, int cap);

    static juce::Image render (const juce::Image& source, int width, int height, int cap);

    int getBuildCount() const noexcept { return builds; }

private:
    juce::Image cachedSource;
    juce::Image scaled;
    int cachedWidth = 0;
    int cachedHeight = 0;
    int cachedCap = -1;
    int builds = 0;
};

} // namespace vo::gui
