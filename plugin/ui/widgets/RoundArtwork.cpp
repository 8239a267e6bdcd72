#include "RoundArtwork.h"

#include "Artwork.h"

#include "gui/DisplayScale.h"

#include <cmath>

namespace vo::plugins::zel::ui
{

RoundArtwork::RoundArtwork (const char* resourceName, Calibration calibrationToUse)
    : image (Artwork::load (resourceName)), calibration (calibrationToUse)
{
}

juce::Rectangle<float> RoundArtwork::boundsFor (juce::Point<float> centre, float radius) const noexcept
{
    const auto scale = radius / calibration.radius;
    return { centre.x - calibration.centreX * scale, centre.y - calibration.centreY * scale,
             static_cast<float> (image.getWidth()) * scale, static_cast<float> (image.getHeight()) * scale };
}

const juce::Image& RoundArtwork::scaledFor (juce::Graphics& g, juce::Point<float> centre, float radius)
{
    const auto area = boundsFor (centre, radius);
    const auto pixels = static_cast<int> (std::ceil (juce::jmax (area.getWidth(), area.getHeight())
                                                     * vo::gui::DisplayScale::of (g)));
    return scaled.forPixels (image, pixels);
}

void RoundArtwork::draw (juce::Graphics& g, juce::Point<float> centre, float radius, float opacity)
{
    if (! exists() || opacity <= 0.0f)
        return;
    const auto& picture = scaledFor (g, centre, radius);
    const auto area = boundsFor (centre, radius);
    const juce::Graphics::ScopedSaveState state (g);
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
    g.setOpacity (juce::jmin (opacity, 1.0f));
    g.drawImage (picture, area, juce::RectanglePlacement::stretchToFit);
}

} // namespace vo::plugins::zel::ui
