#include "DisplayScale.h"

#include <cmath>

namespace vo::gui::DisplayScale
{

float of (juce::Graphics& g)
{
    return juce::jlimit (kMinimum, kMaximum, g.getInternalContext().getPhysicalPixelScaleFactor());
}

int pixels (float logical, float scale)
{
    return juce::jmax (1, static_cast<int> (std::lround (logical * scale)));
}

void drawAt (juce::Graphics& g, const juce::Image& picture, juce::Point<float> origin, float scale)
{
    g.drawImageTransformed (picture, juce::AffineTransform::scale (1.0f / scale).translated (origin));
}

} // namespace vo::gui::DisplayScale
