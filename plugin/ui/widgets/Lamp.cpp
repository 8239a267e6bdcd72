#include "Lamp.h"

namespace vo::plugins::zel::ui
{

namespace
{

constexpr float kSmallestSide = 4.0f;
constexpr float kFaceInset = 0.16f;
constexpr juce::uint32 kFallbackRim = 0xffb8b8b8;
constexpr juce::uint32 kDarkTop = 0xff5b3603;
constexpr juce::uint32 kDarkBottom = 0xff46260b;
constexpr juce::uint32 kLitTop = 0xffeea93a;
constexpr juce::uint32 kLitBottom = 0xffcb7517;

} // namespace

Lamp::Lamp (const vo::gui::Theme& theme)
    : contactShade (theme.knobContactShadow),
      lit ("zellampon_png", { 111.04f, 98.40f, 90.26f }),
      dark ("zellampoff_png", { 128.96f, 133.85f, 98.31f }),
      glow (juce::Time::getMillisecondCounter())
{
    setInterceptsMouseClicks (false, false);
}

void Lamp::setDiameter (float newDiameter)
{
    diameter = juce::jmax (0.0f, newDiameter);
    repaint();
}

void Lamp::setLit (bool on, bool immediately)
{
    glow.setTarget (on);
    if (immediately && glow.jump())
        repaint();
}

void Lamp::stepGlow()
{
    stepGlowAt (juce::Time::getMillisecondCounter());
}

void Lamp::stepGlowAt (std::uint32_t nowMs)
{
    if (glow.step (nowMs))
        repaint();
}

void Lamp::paint (juce::Graphics& g)
{
    const auto side = static_cast<float> (juce::jmin (getWidth(), getHeight()));
    if (side < kSmallestSide)
        return;
    const auto radius = (diameter > 0.0f ? juce::jmin (diameter, side) : kDefaultFill * side) / 2.0f;
    const auto centre = getLocalBounds().toFloat().getCentre();

    if (! dark.exists() && ! lit.exists())
    {
        paintFallback (g, centre, radius);
        return;
    }
    if (dark.exists())
        contactShade.draw (g, dark.scaledFor (g, centre, radius), dark.boundsFor (centre, radius), 0);
    dark.draw (g, centre, radius, 1.0f);
    lit.draw (g, centre, radius, glow.getValue());
}

void Lamp::paintFallback (juce::Graphics& g, juce::Point<float> centre, float radius) const
{
    const auto disc = juce::Rectangle<float> (2.0f * radius, 2.0f * radius).withCentre (centre);
    g.setColour (juce::Colour (kFallbackRim));
    g.fillEllipse (disc);

    const auto face = disc.reduced (kFaceInset * radius);
    const auto value = glow.getValue();
    const auto top = juce::Colour (kDarkTop).interpolatedWith (juce::Colour (kLitTop), value);
    const auto bottom = juce::Colour (kDarkBottom).interpolatedWith (juce::Colour (kLitBottom), value);
    g.setGradientFill (juce::ColourGradient::vertical (top, face.getY(), bottom, face.getBottom()));
    g.fillEllipse (face);
}

} // namespace vo::plugins::zel::ui
