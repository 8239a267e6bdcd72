#include "ButtonArt.h"

namespace vo::plugins::zel::ui
{

namespace
{

constexpr float kVisibleGlow = 0.004f;
constexpr float kRingInset = 0.32f;
constexpr float kRingWidth = 0.1f;
constexpr float kInnerDiscInset = 0.4f;
constexpr juce::uint32 kFallbackBody = 0xff969695;
constexpr juce::uint32 kFallbackFace = 0xff1b1c1b;

} // namespace

ButtonArt::ButtonArt()
    : off ("zelbuttonoff_png", { 127.64f, 132.01f, 120.13f }),
      on ("zelbuttonon_png", { 127.64f, 129.79f, 120.08f }),
      red ("zelbuttonred_png", { 127.65f, 128.24f, 120.09f })
{
}

void ButtonArt::draw (juce::Graphics& g, juce::Rectangle<float> circle, float glow, bool redWhenLit,
                      juce::Colour ringColour)
{
    if (circle.getWidth() < kSmallestDiameter)
        return;
    const auto centre = circle.getCentre();
    const auto radius = circle.getWidth() / 2.0f;
    const auto ring = redWhenLit ? juce::Colour (kRedRing) : ringColour;
    auto& lit = redWhenLit ? red : on;

    if (! off.exists() && ! lit.exists())
    {
        drawFallbackDisc (g, circle);
        drawRing (g, circle, glow, ring);
        return;
    }
    off.draw (g, centre, radius, 1.0f);
    if (lit.exists())
        lit.draw (g, centre, radius, glow);
    else
        drawRing (g, circle, glow, ring);
}

void ButtonArt::drawPressed (juce::Graphics& g, juce::Rectangle<float> circle)
{
    g.setColour (juce::Colours::black.withAlpha (kPressedAlpha));
    g.fillEllipse (circle);
}

void ButtonArt::drawRing (juce::Graphics& g, juce::Rectangle<float> circle, float glow, juce::Colour colour)
{
    if (glow <= kVisibleGlow)
        return;
    const auto radius = circle.getWidth() / 2.0f;
    g.setColour (colour.withMultipliedAlpha (glow));
    g.drawEllipse (circle.reduced (kRingInset * radius), kRingWidth * radius);
}

void ButtonArt::drawFallbackDisc (juce::Graphics& g, juce::Rectangle<float> circle)
{
    const auto radius = circle.getWidth() / 2.0f;
    g.setColour (juce::Colour (kFallbackBody));
    g.fillEllipse (circle);
    g.setColour (juce::Colour (kFallbackFace));
    g.fillEllipse (circle.reduced (kInnerDiscInset * radius));
}

} // namespace vo::plugins::zel::ui
