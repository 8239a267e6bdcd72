#include "LookAndFeel.h"

#include "Fonts.h"

#include <cmath>

namespace vo::gui
{

namespace
{

constexpr int kScrollbarWidth = 8;

constexpr float kButtonFontRatio = 0.58f;
constexpr float kButtonFontMaximum = 14.0f;
constexpr float kHoverDarkening = 0.04f;
constexpr float kOutlineWidth = 1.0f;

constexpr float kToggleFontRatio = 0.55f;
constexpr float kToggleFontMaximum = 13.0f;
constexpr float kToggleOutlineWidth = 1.2f;

constexpr float kPopupFontHeight = 12.5f;
constexpr float kPopupHeaderFontHeight = 10.5f;
constexpr float kPopupShortcutFontHeight = 11.5f;
constexpr float kPopupRowPerFontHeight = 1.3f;
constexpr int kPopupExtraWidth = 24;
constexpr int kSeparatorWidth = 50;
constexpr int kSeparatorHeight = 7;
constexpr int kSeparatorInset = 12;
constexpr int kHeaderInsetX = 14;
constexpr int kHeaderInsetTop = 3;
constexpr int kRowInsetX = 6;
constexpr int kRowInsetY = 1;
constexpr int kTextIndent = 10;
constexpr int kTickColumnWidth = 16;
constexpr int kIconSize = 14;
constexpr float kTickDotSize = 6.0f;
constexpr int kTickGap = 4;
constexpr int kSubMenuArrowWidth = 12;

constexpr int kRotaryInset = 6;
constexpr float kRotaryRadiusInset = 4.0f;

int nonNegative (int value)
{
    return juce::jmax (0, value);
}

bool isEnabledWithParent (const juce::Component& component)
{
    const auto* parent = component.getParentComponent();
    return component.isEnabled() && (parent == nullptr || parent->isEnabled());
}

} // namespace

LookAndFeel::LookAndFeel (const Theme& themeToUse)
    : theme (themeToUse)
{
    applyColours();
}

void LookAndFeel::applyColours()
{
    setColour (juce::Label::textColourId, theme.labelText);
    setColour (juce::TextButton::buttonColourId, theme.surface);
    setColour (juce::TextButton::buttonOnColourId, theme.accentSoft);
    setColour (juce::TextButton::textColourOffId, theme.text);
    setColour (juce::TextButton::textColourOnId, theme.text);
    setColour (juce::TextEditor::backgroundColourId, theme.surface);
    setColour (juce::TextEditor::textColourId, theme.text);
    setColour (juce::TextEditor::outlineColourId, theme.outline);
    setColour (juce::TextEditor::focusedOutlineColourId, theme.accentLine);
    setColour (juce::TextEditor::highlightColourId, theme.accentSoft);
    setColour (juce::CaretComponent::caretColourId, theme.text);
    setColour (juce::ListBox::backgroundColourId, juce::Colours::transparentBlack);
    setColour (juce::PopupMenu::backgroundColourId, theme.surface);
    setColour (juce::PopupMenu::textColourId, theme.text);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, theme.accentSoft);
    setColour (juce::PopupMenu::headerTextColourId, theme.text);
    setColour (juce::PopupMenu::highlightedTextColourId, theme.text);
    setColour (juce::ScrollBar::thumbColourId, theme.hairline);
    setColour (juce::Slider::textBoxTextColourId, theme.text);
}

int LookAndFeel::getDefaultScrollbarWidth()
{
    return kScrollbarWidth;
}

// Text buttons ---------------------------------------------------------------

juce::Font LookAndFeel::getTextButtonFont (juce::TextButton&, int buttonHeight)
{
    return displayFont (juce::jmin (kButtonFontRatio * static_cast<float> (buttonHeight), kButtonFontMaximum));
}

void LookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour&,
                                        bool highlighted, bool down)
{
    drawCapsuleBackground (g, button, highlighted, down);
}

void LookAndFeel::drawCapsuleBackground (juce::Graphics& g, juce::Button& button, bool highlighted, bool down) const
{
    const auto height = static_cast<float> (nonNegative (button.getHeight() - 1));
    const auto width = static_cast<float> (nonNegative (button.getWidth() - 1));
    const juce::Rectangle<float> capsule (0.5f, 0.5f, width, height);
    const auto radius = height / 2.0f;

    if (button.getToggleState())
    {
        g.setColour (theme.accent);
        g.fillRoundedRectangle (capsule, radius);
        return;
    }

    auto fill = down ? theme.accentSoft : theme.surface;
    if (highlighted && ! down)
        fill = fill.darker (kHoverDarkening);

    g.setColour (fill);
    g.fillRoundedRectangle (capsule, radius);
    g.setColour (theme.outline);
    g.drawRoundedRectangle (capsule, radius, kOutlineWidth);
}

void LookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    drawCentredButtonText (g, button);
}

void LookAndFeel::drawCentredButtonText (juce::Graphics& g, juce::TextButton& button)
{
    g.setFont (getTextButtonFont (button, button.getHeight()));
    if (button.getToggleState())
        g.setColour (theme.inkOnAccent);
    else
        g.setColour (isEnabledWithParent (button) ? theme.text : theme.textDim);

    g.drawText (button.getButtonText(), button.getLocalBounds(), juce::Justification::centred, true);
}

// Toggle buttons -------------------------------------------------------------

void LookAndFeel::drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool highlighted, bool)
{
    const auto height = static_cast<float> (nonNegative (button.getHeight() - 2));
    const auto width = static_cast<float> (nonNegative (button.getWidth() - 2));
    const juce::Rectangle<float> pill (1.0f, 1.0f, width, height);
    const auto radius = height / 2.0f;
    const bool on = button.getToggleState();

    if (on)
    {
        g.setColour (theme.accent);
        g.fillRoundedRectangle (pill, radius);
    }
    else
    {
        g.setColour (theme.surface);
        g.fillRoundedRectangle (pill, radius);
        g.setColour (highlighted ? theme.labelText : theme.outline);
        g.drawRoundedRectangle ({ 1.5f, 1.5f, juce::jmax (width - 1.0f, 0.0f), juce::jmax (height - 1.0f, 0.0f) },
                                radius, kToggleOutlineWidth);
    }

    g.setColour (on ? theme.inkOnAccent : theme.text);
    g.setFont (displayFont (juce::jmin (kToggleFontRatio * height, kToggleFontMaximum)));
    g.drawText (button.getButtonText(), pill, juce::Justification::centred, true);
}

// Labels ---------------------------------------------------------------------

juce::Font LookAndFeel::getLabelFont (juce::Label& label)
{
    const auto font = label.getFont();
    auto height = font.getHeight();
    if (height <= 0.0f)
        height = (font.getAscent() + font.getDescent()) * font.getHorizontalScale();
    return textFont (height);
}

// Popup menus ----------------------------------------------------------------

juce::Font LookAndFeel::getPopupMenuFont()
{
    return displayFont (kPopupFontHeight);
}

void LookAndFeel::drawPopupMenuBackground (juce::Graphics& g, int width, int height)
{
    g.setColour (theme.surface);
    g.fillRoundedRectangle (0.0f, 0.0f, static_cast<float> (width), static_cast<float> (height), theme.radiusMedium);
    g.setColour (theme.hairline);
    g.drawRoundedRectangle (0.5f, 0.5f, static_cast<float> (nonNegative (width - 1)),
                            static_cast<float> (nonNegative (height - 1)), theme.radiusMedium, kOutlineWidth);
}

void LookAndFeel::getIdealPopupMenuItemSize (const juce::String& text, bool isSeparator, int standardMenuItemHeight,
                                             int& idealWidth, int& idealHeight)
{
    if (isSeparator)
    {
        idealWidth = kSeparatorWidth;
        idealHeight = kSeparatorHeight;
        return;
    }

    auto font = getPopupMenuFont();
    const auto standard = static_cast<float> (standardMenuItemHeight);
    if (standardMenuItemHeight > 0 && font.getHeight() > standard / kPopupRowPerFontHeight)
        font = font.withHeight (standard / kPopupRowPerFontHeight);

    const auto rowHeight = standardMenuItemHeight < 1 ? juce::roundToInt (font.getHeight() * kPopupRowPerFontHeight)
                                                      : standardMenuItemHeight;
    idealWidth = static_cast<int> (std::ceil (font.getStringWidthFloat (text))) + 2 * rowHeight;
    idealHeight = kPopupRowHeight;
    idealWidth = juce::jmax (idealWidth + kPopupExtraWidth, kPopupMinimumWidth);
}

void LookAndFeel::drawPopupMenuSectionHeader (juce::Graphics& g, const juce::Rectangle<int>& area,
                                              const juce::String& sectionName)
{
    g.setFont (displayFont (kPopupHeaderFontHeight));
    g.setColour (theme.labelText);
    const juce::Rectangle<int> textArea (area.getX() + kHeaderInsetX, area.getY() + kHeaderInsetTop,
                                         nonNegative (area.getWidth() - 2 * kHeaderInsetX),
                                         nonNegative (area.getHeight() - kHeaderInsetTop));
    g.drawText (sectionName, textArea, juce::Justification::centredLeft, true);
}

void LookAndFeel::drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area, bool isSeparator,
                                     bool isActive, bool isHighlighted, bool isTicked, bool hasSubMenu,
                                     const juce::String& text, const juce::String& shortcutKeyText,
                                     const juce::Drawable* icon, const juce::Colour*)
{
    if (isSeparator)
    {
        drawPopupSeparator (g, area);
        return;
    }

    const auto row = area.reduced (kRowInsetX, kRowInsetY);
    if (isHighlighted && isActive)
    {
        g.setColour (theme.accentSoft);
        g.fillRoundedRectangle (row.toFloat(), theme.radiusSmall);
    }

    const auto colour = isActive ? theme.text : theme.labelText;
    auto textArea = row;
    textArea.removeFromLeft (kTextIndent);
    drawTickColumn (g, textArea.removeFromLeft (kTickColumnWidth), isTicked, icon, colour);
    textArea.removeFromLeft (kTickGap);

    if (hasSubMenu)
    {
        textArea.removeFromRight (kSubMenuArrowWidth);
        drawSubMenuArrow (g, static_cast<float> (textArea.getRight()), row.toFloat().getCentreY(), colour);
    }

    g.setColour (colour);
    g.setFont (getPopupMenuFont());
    g.drawText (text, textArea, juce::Justification::centredLeft, true);

    if (shortcutKeyText.isNotEmpty())
    {
        g.setColour (theme.labelText);
        g.setFont (displayFont (kPopupShortcutFontHeight));
        g.drawText (shortcutKeyText, textArea, juce::Justification::centredRight, true);
    }
}

void LookAndFeel::drawPopupSeparator (juce::Graphics& g, juce::Rectangle<int> area) const
{
    g.setColour (theme.hairline);
    g.fillRect (area.getX() + kSeparatorInset, area.getY() + area.getHeight() / 2,
                nonNegative (area.getWidth() - 2 * kSeparatorInset), 1);
}

void LookAndFeel::drawTickColumn (juce::Graphics& g, juce::Rectangle<int> column, bool isTicked,
                                  const juce::Drawable* icon, juce::Colour colour) const
{
    const auto centre = column.toFloat().getCentre();
    if (icon != nullptr)
    {
        const auto square = juce::Rectangle<float> (static_cast<float> (kIconSize), static_cast<float> (kIconSize))
                                .withCentre (centre);
        icon->drawWithin (g, square, juce::RectanglePlacement::centred, 1.0f);
    }
    else if (isTicked)
    {
        g.setColour (colour);
        g.fillEllipse (juce::Rectangle<float> (kTickDotSize, kTickDotSize).withCentre (centre));
    }
}

void LookAndFeel::drawSubMenuArrow (juce::Graphics& g, float x, float centreY, juce::Colour colour) const
{
    juce::Path arrow;
    arrow.addTriangle (x + 3.0f, centreY - 4.0f, x + 8.0f, centreY, x + 3.0f, centreY + 4.0f);
    g.setColour (colour);
    g.fillPath (arrow);
}

// Rotary fallback ------------------------------------------------------------

void LookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                    float rotaryStartAngle, float rotaryEndAngle, juce::Slider&)
{
    const auto innerWidth = static_cast<float> (nonNegative (width - 2 * kRotaryInset));
    const auto innerHeight = static_cast<float> (nonNegative (height - 2 * kRotaryInset));
    const juce::Point<float> centre (static_cast<float> (x + kRotaryInset) + innerWidth / 2.0f,
                                     static_cast<float> (y + kRotaryInset) + innerHeight / 2.0f);
    const auto radius = juce::jmax (1.0f, juce::jmin (innerWidth, innerHeight) / 2.0f - kRotaryRadiusInset);

    strokeArc (g, centre, radius, rotaryStartAngle, rotaryEndAngle, theme.arcTrack);
    strokeArc (g, centre, radius, rotaryStartAngle,
               rotaryStartAngle + sliderPos * (rotaryEndAngle - rotaryStartAngle), theme.accentLine);
}

void LookAndFeel::strokeArc (juce::Graphics& g, juce::Point<float> centre, float radius, float from, float to,
                             juce::Colour colour) const
{
    juce::Path arc;
    arc.addCentredArc (centre.x, centre.y, radius, radius, 0.0f, from, to, true);
    g.setColour (colour);
    g.strokePath (arc, juce::PathStrokeType (theme.strokeWidth, juce::PathStrokeType::curved,
                                             juce::PathStrokeType::rounded));
}

} // namespace vo::gui
