#include "ZelPresetSkin.h"

#include "Artwork.h"
#include "ZelIconSkin.h"

#include "gui/DisplayScale.h"
#include "gui/ThreeSliceImage.h"

#include <cmath>

namespace vo::plugins::zel::ui
{

namespace
{

// The proportions of the round button's triangle icons, so that the header's
// arrows match the editor's own previous and next buttons.
constexpr float kIconSide = 0.45f;
constexpr float kTriangleWidth = 0.46f;
constexpr float kTriangleHeight = 0.62f;

juce::Path triangleIn (juce::Rectangle<float> circle, bool pointsLeft)
{
    const auto c = kIconSide * circle.getWidth();
    const auto area = juce::Rectangle<float> (kTriangleWidth * c, kTriangleHeight * c).withCentre (circle.getCentre());
    const auto tipX = pointsLeft ? area.getX() : area.getRight();
    const auto baseX = pointsLeft ? area.getRight() : area.getX();
    juce::Path path;
    path.addTriangle (tipX, area.getCentreY(), baseX, area.getY(), baseX, area.getBottom());
    return path;
}

} // namespace

ZelPresetSkin::ZelPresetSkin (const vo::gui::Theme& themeToUse)
    : theme (&themeToUse),
      windowShade (themeToUse.knobContactShadow),
      controlShade (themeToUse.controlShadow),
      contactShade (themeToUse.knobContactShadow),
      window (Artwork::load ("zelpresetwindow_png"))
{
}

juce::Rectangle<int> ZelPresetSkin::windowBounds (juce::Rectangle<float> bounds, bool down)
{
    return bounds.reduced (static_cast<float> (kWindowInset)).toNearestInt().translated (0, down ? 1 : 0);
}

juce::Rectangle<float> ZelPresetSkin::arrowCircle (juce::Rectangle<float> bounds)
{
    const auto diameter = juce::jmin (bounds.getWidth(), bounds.getHeight(), kLargestArrow);
    return juce::Rectangle<float> (diameter, diameter).withCentre (bounds.getCentre());
}

void ZelPresetSkin::drawNameBackground (juce::Graphics& g, juce::Rectangle<float> bounds, bool down, bool)
{
    const auto area = windowBounds (bounds, down);
    if (area.isEmpty())
        return;
    if (window.isValid())
        drawWindow (g, area);
    else
        drawFallbackWindow (g, area);

    if (down)
    {
        g.setColour (juce::Colours::black.withAlpha (ButtonArt::kPressedAlpha));
        g.fillRoundedRectangle (area.toFloat(), static_cast<float> (area.getHeight()) / 2.0f);
    }
}

void ZelPresetSkin::drawArrow (juce::Graphics& g, juce::Rectangle<float> bounds, int direction, bool down, bool)
{
    const auto circle = arrowCircle (bounds);
    ZelIconSkin::paintUnlit (g, circle, down, *theme, images, controlShade, contactShade);
    g.setColour (theme->text);
    g.fillPath (triangleIn (circle.translated (0.0f, down ? 1.0f : 0.0f), direction < 0));
}

// The picture's height decides how far it may be halved: its middle columns
// are all alike, so the stretched width needs no more detail than that.
const juce::Image& ZelPresetSkin::windowFor (juce::Graphics& g, juce::Rectangle<int> area)
{
    const auto aspect = static_cast<float> (window.getWidth()) / static_cast<float> (window.getHeight());
    const auto heightPixels = static_cast<float> (area.getHeight()) * vo::gui::DisplayScale::of (g);
    return scaledWindow.forPixels (window, static_cast<int> (std::ceil (heightPixels * aspect)));
}

void ZelPresetSkin::drawWindow (juce::Graphics& g, juce::Rectangle<int> area)
{
    const auto& picture = windowFor (g, area);
    // The cap is counted in the full-size picture's pixels.
    const auto cap = juce::roundToInt (static_cast<float> (kCapWidth) * static_cast<float> (picture.getWidth())
                                       / static_cast<float> (window.getWidth()));
    windowShade.draw (g, picture, area.toFloat(), cap);
    vo::gui::drawThreeSliceImage (g, picture, area, cap, &slices);
}

void ZelPresetSkin::drawFallbackWindow (juce::Graphics& g, juce::Rectangle<int> area) const
{
    const auto radius = static_cast<float> (area.getHeight()) / 2.0f;
    g.setColour (juce::Colour (kFallbackWindow));
    g.fillRoundedRectangle (area.toFloat(), radius);
    g.setColour (theme->outline);
    g.drawRoundedRectangle (area.toFloat().reduced (0.5f), radius - 0.5f, 1.0f);
}

} // namespace vo::plugins::zel::ui
