#pragma once

#include <juce_graphics/juce_graphics.h>

#include <cstdint>

namespace vo::gui
{

// A faint, deterministic noise laid over background surfaces: soft vertical
// streaks (a slowly wandering column profile) modulated row by row, plus
// per-pixel noise. The picture is cached and regenerated only when its pixel
// size, opacity or seed changes.
class GrainTexture
{
public:
    // Draws nothing (and allocates nothing) when the opacity is 0 or less.
    void draw (juce::Graphics& g, juce::Rectangle<int> area, float opacity, std::uint32_t seed);

    // The picture for a pixel size, opacity and seed; the same arguments
    // always give the same pixels.
    static juce::Image generate (int width, int height, float opacity, std::uint32_t seed);

    int getBuildCount() const noexcept { return builds; }
    const juce::Image& getImage() const noexcept { return image; }

private:
    bool isCurrent (int width, int height, float opacity, std::uint32_t seed) const;

    juce::Image image;
    int cachedWidth = 0;
    int cachedHeight = 0;
    float cachedOpacity = 0.0f;
    std::uint32_t cachedSeed = 0;
    int builds = 0;
};

} // namespace vo::gui
