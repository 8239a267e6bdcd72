#include "RoundButton.h"

#include "WidgetTooltip.h"

#include <cmath>

namespace vo::plugins::zel::ui
{

namespace
{

constexpr float kIconSide = 0.45f;
constexpr float kArcRadius = 0.42f;
constexpr float kArcDrop = 0.18f;
constexpr float kArcFrom = -0.5f;
constexpr float kArcTo = -4.2411504f;
constexpr float kArcWidth = 0.14f;
constexpr float kArcMinWidth = 1.4f;
constexpr float kHeadSize = 0.24f;
constexpr float kHeadMinSize = 2.0f;
constexpr float kTriangleWidth = 0.46f;
constexpr float kTriangleHeight = 0.62f;

juce::Point<float> onArc (juce::Point<float> centre, float radius, float angle)
{
    return centre.getPointOnCircumference (radius, angle);
}

// An arc around the point below the centre, open at the top right, with the
// arrow head where it ends.
juce::Path undoArrow (juce::Rectangle<float> square)
{
    const auto c = square.getWidth();
    const auto radius = kArcRadius * c;
    const auto centre = square.getCentre().translated (0.0f, kArcDrop * radius);
    juce::Path arc;
    arc.addCentredArc (centre.x, centre.y, radius, radius, 0.0f, kArcFrom, kArcTo, true);

    juce::Path outline;
    juce::PathStrokeType (juce::jmax (kArcWidth * c, kArcMinWidth), juce::PathStrokeType::curved,
                          juce::PathStrokeType::rounded)
        .createStrokedPath (outline, arc);

    const auto head = juce::jmax (kHeadSize * c, kHeadMinSize);
    const auto tip = onArc (centre, radius, kArcFrom);
    const auto back = onArc (centre, radius, kArcFrom + 0.35f);
    const auto along = (tip - back) / juce::jmax (tip.getDistanceFrom (back), 0.001f);
    const juce::Point<float> across { -along.y, along.x };
    outline.addTriangle (tip + along * head * 0.6f, tip - along * head * 0.4f + across * head * 0.6f,
                         tip - along * head * 0.4f - across * head * 0.6f);
    return outline;
}

juce::Path triangle (juce::Rectangle<float> square, bool pointsLeft)
{
    const auto c = square.getWidth();
    const auto area = juce::Rectangle<float> (kTriangleWidth * c, kTriangleHeight * c).withCentre (square.getCentre());
    juce::Path path;
    if (pointsLeft)
        path.addTriangle (area.getX(), area.getCentreY(), area.getRight(), area.getY(), area.getRight(), area.getBottom());
    else
        path.addTriangle (area.getRight(), area.getCentreY(), area.getX(), area.getY(), area.getX(), area.getBottom());
    return path;
}

} // namespace

RoundButton::RoundButton (const juce::String& name, int styleToUse, const vo::gui::Theme& themeToUse,
                          const juce::String& tooltip)
    : juce::Button (name),
      theme (&themeToUse),
      style (styleToUse),
      controlShade (themeToUse.controlShadow),
      contactShade (themeToUse.knobContactShadow),
      glow (juce::Time::getMillisecondCounter())
{
    WidgetTooltip::store (*this, tooltip);
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
}

void RoundButton::attachTo (core::StateManager& state, const juce::String& parameterId)
{
    const bool bound = binding.bind (state, parameterId, [this] (bool on) {
        glow.setTarget (on);
        repaint();
    });
    if (! bound)
    {
        setEnabled (false);
        return;
    }
    glow.jump();
}

void RoundButton::setDiameter (float newDiameter)
{
    diameter = juce::jmax (0.0f, newDiameter);
    repaint();
}

void RoundButton::setRedWhenLit (bool red)
{
    if (red == redWhenLit)
        return;
    redWhenLit = red;
    repaint();
}

void RoundButton::setLit (bool lit, bool immediately)
{
    glow.setTarget (lit);
    if (immediately && glow.jump())
        repaint();
}

void RoundButton::stepGlow()
{
    stepGlowAt (juce::Time::getMillisecondCounter());
}

void RoundButton::stepGlowAt (std::uint32_t nowMs)
{
    if (glow.step (nowMs))
        repaint();
}

float RoundButton::drawnDiameter() const
{
    const auto side = static_cast<float> (juce::jmin (getWidth(), getHeight()));
    if (diameter > 0.0f)
        return juce::jmin (diameter, side);
    return juce::jmax (side - kMargin, ButtonArt::kSmallestDiameter);
}

juce::Rectangle<float> RoundButton::circleBounds (bool pressed) const
{
    const auto d = drawnDiameter();
    return juce::Rectangle<float> (d, d)
        .withCentre (getLocalBounds().toFloat().getCentre())
        .translated (0.0f, pressed ? 1.0f : 0.0f);
}

bool RoundButton::hitTest (int x, int y)
{
    const auto circle = circleBounds (false);
    return circle.getCentre().getDistanceFrom ({ static_cast<float> (x), static_cast<float> (y) })
           <= circle.getWidth() / 2.0f;
}

void RoundButton::clicked()
{
    binding.flip (glow.getTarget() > 0.5f);
}

void RoundButton::rebuildIcon (juce::Rectangle<float> circle)
{
    if (circle == iconCircle)
        return;
    iconCircle = circle;
    const auto c = kIconSide * circle.getWidth();
    const auto square = juce::Rectangle<float> (c, c).withCentre (circle.getCentre());
    switch (style)
    {
        case UndoIcon: icon = undoArrow (square); break;
        case LeftIcon: icon = triangle (square, true); break;
        case RightIcon: icon = triangle (square, false); break;
        case NoIcon:
        default: icon.clear(); break;
    }
}

void RoundButton::paintButton (juce::Graphics& g, bool, bool down)
{
    const auto circle = circleBounds (down);
    auto& off = images.getOff();
    if (off.exists())
    {
        const auto area = off.boundsFor (circle.getCentre(), circle.getWidth() / 2.0f);
        const auto& picture = off.scaledFor (g, circle.getCentre(), circle.getWidth() / 2.0f);
        controlShade.draw (g, picture, area, 0);
        contactShade.draw (g, picture, area, 0);
    }
    images.draw (g, circle, glow.getValue(), redWhenLit, theme->accentLine);
    if (down)
        ButtonArt::drawPressed (g, circle);

    rebuildIcon (circle);
    const bool enabled = isEnabled() && (getParentComponent() == nullptr || getParentComponent()->isEnabled());
    g.setColour (enabled ? theme->text : theme->textDim);
    g.fillPath (icon);
}

} // namespace vo::plugins::zel::ui
