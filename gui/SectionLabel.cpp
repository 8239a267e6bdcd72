#include "SectionLabel.h"

#include "Fonts.h"

#include <cmath>

namespace vo::gui
{

namespace
{

constexpr float kMaximumTextHeight = 12.5f;
constexpr float kTextHeightShare = 0.85f;
constexpr float kTextPadding = 16.0f;
constexpr float kEdgeReserve = 24.0f;
constexpr float kRuleGap = 4.0f;
constexpr float kShortestRule = 2.0f;

} // namespace

SectionLabel::SectionLabel (const juce::String& textToShow, const Theme& themeToUse)
    : text (textToShow), theme (themeToUse)
{
    setTitle (text);
}

void SectionLabel::paint (juce::Graphics& g)
{
    const auto w = static_cast<float> (getWidth());
    const auto h = static_cast<float> (getHeight());
    const auto font = displayFont (juce::jmin (kTextHeightShare * h, kMaximumTextHeight));
    g.setFont (font);
    g.setColour (theme.labelText);
    g.drawText (text, getLocalBounds(), juce::Justification::centred, false);

    const auto textWidth = juce::jmin (std::ceil (font.getStringWidthFloat (text)) + kTextPadding, w - kEdgeReserve);
    const auto rule = (w - textWidth) * 0.5f - kRuleGap;
    if (rule <= kShortestRule)
        return;

    const auto y = std::floor (h * 0.5f);
    g.setColour (theme.hairline);
    g.fillRect (0.0f, y, rule, 1.0f);
    g.fillRect (w - rule, y, rule, 1.0f);
}

std::unique_ptr<juce::AccessibilityHandler> SectionLabel::createAccessibilityHandler()
{
    return std::make_unique<juce::AccessibilityHandler> (*this, juce::AccessibilityRole::staticText);
}

} // namespace vo::gui
