#pragma once

#include "ScaledImage.h"

#include <juce_graphics/juce_graphics.h>

namespace vo::plugins::zel::ui
{

// One round photograph with the circle its body fills (centre and radius in
// image pixels): drawn so that this circle lands exactly on the control's.
class RoundArtwork
{
public:
    struct Calibration
    {
        float centreX = 128.0f;
        float centreY = 128.0f;
        float radius = 128.0f;
    };

    RoundArtwork (const char* resourceName, Calibration calibration);

    bool exists() const noexcept { return image.isValid(); }
    const juce::Image& getImage() const noexcept { return image; }

    // The square the whole image covers for a control circle.
    juce::Rectangle<float> boundsFor (juce::Point<float> centre, float radius) const noexcept;

    // The image reduced for that square at the context's scale, from the cache.
    const juce::Image& scaledFor (juce::Graphics& g, juce::Point<float> centre, float radius);

    void draw (juce::Graphics& g, juce::Point<float> centre, float radius, float opacity);

    int getBuildCount() const noexcept { return scaled.getBuildCount(); }

private:
    juce::Image image;
    Calibration calibration;
    ScaledImage scaled;
};

} // namespace vo::plugins::zel::ui
