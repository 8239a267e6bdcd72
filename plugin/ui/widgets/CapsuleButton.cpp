#include "CapsuleButton.h"

#include "Artwork.h"

#include "gui/Fonts.h"
#include "gui/ThreeSliceImage.h"

#include <cmath>

namespace vo::plugins::zel::ui
{

namespace
{

constexpr int kSmallestWidth = 8;
constexpr int kSmallestHeight = 6;
constexpr float kPressedAlpha = 0.06f;
constexpr float kDisabledAlpha = 0.35f;
constexpr float kFocusWidth = 1.4f;
constexpr float kFocusInset = 3.0f;
constexpr float kFocusAlpha = 0.85f;
constexpr float kTextHeightFraction = 0.52f;
constexpr float kLargestText = 12.0f;
constexpr int kTextInset = 10;
constexpr float kTextMinScale = 0.78f;
constexpr float kDisabledTextAlpha = 0.7f;
constexpr juce::uint32 kFallbackFill = 0xffd5bf93;
constexpr juce::uint32 kFallbackOutline = 0xff14100d;

} // namespace

CapsuleButton::CapsuleButton (const juce::String& buttonText, const vo::gui::Theme& themeToUse)
    : juce::Button (buttonText),
      theme (themeToUse),
      controlShade (themeToUse.controlShadow),
      contactShade (themeToUse.knobContactShadow),
      capsule (Artwork::load ("zelcapsule_png"))
{
    setButtonText (buttonText);
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
    setWantsKeyboardFocus (true);
}

int CapsuleButton::preferredWidthFor (const juce::String& label)
{
    const auto w = static_cast<int> (std::ceil (vo::gui::displayFont (kLargestText).getStringWidthFloat (label)));
    return w + 26 > 64 ? w + 42 : 80;
}

juce::Rectangle<int> CapsuleButton::bodyBounds (bool pressed) const
{
    return getLocalBounds().reduced (kInset).translated (0, pressed ? 1 : 0);
}

bool CapsuleButton::hitTest (int x, int y)
{
    return bodyBounds (false).contains (x, y);
}

void CapsuleButton::focusGained (FocusChangeType)
{
    repaint();
}

void CapsuleButton::focusLost (FocusChangeType)
{
    repaint();
}

void CapsuleButton::paintButton (juce::Graphics& g, bool, bool down)
{
    const auto body = bodyBounds (down);
    if (body.getWidth() < kSmallestWidth || body.getHeight() < kSmallestHeight)
        return;
    const auto radius = static_cast<float> (body.getHeight()) / 2.0f;
    paintBody (g, body);

    if (down)
    {
        g.setColour (juce::Colours::black.withAlpha (kPressedAlpha));
        g.fillRoundedRectangle (body.toFloat(), radius);
    }
    if (! isEnabled())
    {
        g.setColour (juce::Colours::black.withAlpha (kDisabledAlpha));
        g.fillRoundedRectangle (body.toFloat(), radius);
    }
    if (hasKeyboardFocus (false))
    {
        g.setColour (theme.inkOnAccent.withAlpha (kFocusAlpha));
        g.drawRoundedRectangle (body.toFloat().reduced (kFocusInset), juce::jmax (radius - kFocusInset, 1.0f), kFocusWidth);
    }
    paintText (g, body);
}

void CapsuleButton::paintBody (juce::Graphics& g, juce::Rectangle<int> body)
{
    if (! capsule.isValid())
    {
        const auto radius = static_cast<float> (body.getHeight()) / 2.0f;
        g.setColour (juce::Colour (kFallbackFill));
        g.fillRoundedRectangle (body.toFloat(), radius);
        g.setColour (juce::Colour (kFallbackOutline));
        g.drawRoundedRectangle (body.toFloat().reduced (0.5f), radius, 1.0f);
        return;
    }
    controlShade.draw (g, capsule, body.toFloat(), kCapWidth);
    contactShade.draw (g, capsule, body.toFloat(), kCapWidth);
    vo::gui::drawThreeSliceImage (g, capsule, body, kCapWidth, &slices);
}

void CapsuleButton::paintText (juce::Graphics& g, juce::Rectangle<int> body) const
{
    const auto height = juce::jmin (kTextHeightFraction * static_cast<float> (body.getHeight()), kLargestText);
    g.setFont (typefaces->getDisplayFont (height));
    g.setColour (theme.inkOnAccent.withAlpha (isEnabled() ? 1.0f : kDisabledTextAlpha));
    g.drawFittedText (getButtonText(), body.reduced (kTextInset), juce::Justification::centred, 1, kTextMinScale);
}

} // namespace vo::plugins::zel::ui
