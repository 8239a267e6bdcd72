#pragma once

#include "ShadowParameters.h"

#include <juce_graphics/juce_graphics.h>

#include <vector>

namespace melatonin::internal
{

// A list of blurred shadows for one shape, rendered once into a composite
// image and redrawn from it until the shape, its size or the display scale
// changes. Moving the shape only moves the composite.
class CachedShadows
{
public:
    explicit CachedShadows (std::vector<ShadowParameters> shadowList);
    virtual ~CachedShadows() = default;

    CachedShadows (const CachedShadows&) = delete;
    CachedShadows& operator= (const CachedShadows&) = delete;

    // Draws every shadow of the list for the path where the path is. Drop
    // shadows fall outside and under the shape (fill the shape afterwards);
    // inner shadows stay inside it.
    void render (juce::Graphics& g, const juce::Path& path);

    const std::vector<ShadowParameters>& getShadows() const noexcept { return shadows; }

    // How many times the composite was rendered (each time blurs every entry).
    int getBuildCount() const noexcept { return builds; }

    // The clamped display scale of the last build, 0 before the first.
    float getCachedScale() const noexcept { return cachedScale; }

private:
    void rebuild (const juce::Path& shape, float scale);
    juce::Rectangle<int> areaFor (const ShadowParameters& shadow, juce::Rectangle<float> shapeBounds) const;
    juce::Image renderMask (const ShadowParameters& shadow, const juce::Path& shape, float scale) const;
    void composite (juce::Graphics& target, const ShadowParameters& shadow, const juce::Image& mask,
                    const juce::Path& shape, float scale) const;
    juce::AffineTransform shapeToPixels (juce::Point<int> offset, float scale) const;

    std::vector<ShadowParameters> shadows;
    juce::Path cachedShape;
    float cachedScale = 0.0f;
    juce::Image compositeImage;
    juce::Rectangle<int> compositeArea; // logical pixels, relative to the shape's top left
    int builds = 0;
};

} // namespace melatonin::internal
