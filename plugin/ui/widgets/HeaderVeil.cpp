#include "HeaderVeil.h"

namespace vo::plugins::zel::ui
{

HeaderVeil::HeaderVeil()
{
    setInterceptsMouseClicks (false, false);
}

void HeaderVeil::setCornerRadius (float radius)
{
    radius = juce::jmax (0.0f, radius);
    if (juce::approximatelyEqual (radius, cornerRadius))
        return;
    cornerRadius = radius;
    repaint();
}

void HeaderVeil::setVeilColour (juce::Colour newColour)
{
    if (newColour == colour)
        return;
    colour = newColour;
    repaint();
}

void HeaderVeil::paint (juce::Graphics& g)
{
    const auto width = static_cast<float> (getWidth());
    const auto height = static_cast<float> (getHeight());
    // The shape runs on below the component by two radii, so its bottom
    // corners are never seen and the veil's lower edge stays square.
    const auto radius = juce::jmin (cornerRadius, width / 2.0f, height / 2.0f + cornerRadius);
    juce::Path veil;
    veil.addRoundedRectangle (0.0f, 0.0f, width, height + 2.0f * cornerRadius, radius);
    g.setColour (colour);
    g.fillPath (veil);
}

} // namespace vo::plugins::zel::ui
