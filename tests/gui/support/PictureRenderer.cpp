#include "PictureRenderer.h"

namespace vo::test
{

juce::Image PictureRenderer::ofDrawing (int width, int height, float scale, const Drawing& draw)
{
    juce::Image picture (juce::Image::ARGB,
                         juce::roundToInt (static_cast<float> (width) * scale),
                         juce::roundToInt (static_cast<float> (height) * scale),
                         true);
    juce::Graphics g (picture);
    g.addTransform (juce::AffineTransform::scale (scale));
    draw (g);
    return picture;
}

juce::Image PictureRenderer::ofComponent (juce::Component& component, float scale)
{
    return ofDrawing (component.getWidth(), component.getHeight(), scale,
                      [&component] (juce::Graphics& g) { component.paintEntireComponent (g, false); });
}

} // namespace vo::test
