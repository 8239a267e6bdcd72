#include "TooltipLayer.h"

#include "Fonts.h"

#include <cmath>

namespace vo::gui
{

namespace
{

constexpr float kBoxInset = 6.0f;
constexpr float kBorderInset = 6.5f;
constexpr int kTextLeft = 14;
constexpr int kTextTop = 10;
constexpr int kMinimumTextLines = 3;
constexpr int kTextSlack = 8;

} // namespace

TooltipLayer::TooltipLayer (const Theme& themeToUse) : theme (themeToUse), shadow (theme.panelShadow.toShadow())
{
    setAlwaysOnTop (true);
    setInterceptsMouseClicks (false, false);
    setVisible (false);
    setAccessible (false);
}

void TooltipLayer::requestShow (juce::Component* control, const juce::String& text)
{
    target = control;
    pendingText = text;
    hidePending = false;

    if (isVisible() || helpMode)
        showNow();
    else
        startTimer (kShowDelayMs);
}

void TooltipLayer::requestHide()
{
    target = nullptr;
    hidePending = true;
    startTimer (kHideDelayMs);
}

void TooltipLayer::setHelpMode (bool on)
{
    helpMode = on;
    if (on)
        return;
    stopTimer();
    setVisible (false);
}

void TooltipLayer::timerCallback()
{
    stopTimer();
    if (! hidePending)
        showNow();
    else
        setVisible (false);
}

void TooltipLayer::showNow()
{
    // While a button is held the user is operating a control, not reading.
    if (juce::ModifierKeys::currentModifiers.isAnyMouseButtonDown())
    {
        startTimer (kHeldButtonRetryMs);
        return;
    }

    stopTimer();
    if (target == nullptr || pendingText.isEmpty())
        return;

    shownText = pendingText;
    const auto textWidth = static_cast<int> (std::ceil (textFont (kFontHeight).getStringWidthFloat (shownText)));
    const auto columns = juce::jmin (textWidth + kTextSlack, kMaximumTextWidth);
    lineCount = juce::jmax ((textWidth + kTextSlack) / columns + 1, 1);
    place (*target, columns + kHorizontalPadding, lineCount * kLineHeight + kVerticalPadding);
}

void TooltipLayer::place (juce::Component& control, int width, int height)
{
    auto* parent = getParentComponent();
    const auto bounds = parent != nullptr ? parent->getLocalArea (&control, control.getLocalBounds())
                                          : control.getBounds();
    const auto parentWidth = parent != nullptr ? parent->getWidth() : 0;
    const auto parentHeight = parent != nullptr ? parent->getHeight() : 0;

    auto x = bounds.getCentreX() - width / 2;
    x = x > 1 ? juce::jmin (x, juce::jmax (parentWidth - width - kEdgeGap, kEdgeGap)) : kEdgeGap;
    auto y = bounds.getBottom() + kTargetGap;
    if (y + height > parentHeight - kEdgeGap)
        y = juce::jmax (bounds.getY() - height - kTargetGap, kEdgeGap);

    setBounds (x, y, width, height);
    setVisible (true);
    toFront (false);
    repaint();
}

void TooltipLayer::paint (juce::Graphics& g)
{
    const auto w = static_cast<float> (getWidth());
    const auto h = static_cast<float> (getHeight());
    juce::Path box;
    box.addRoundedRectangle (kBoxInset, kBoxInset, w - 2.0f * kBoxInset, h - 2.0f * kBoxInset, theme.radiusMedium);
    shadow.render (g, box);
    g.setColour (theme.surface);
    g.fillPath (box);

    g.setColour (theme.outline);
    g.drawRoundedRectangle (kBorderInset, kBorderInset, w - 2.0f * kBorderInset, h - 2.0f * kBorderInset,
                            theme.radiusMedium, 1.0f);

    g.setColour (theme.labelText);
    g.setFont (textFont (kFontHeight));
    g.drawFittedText (shownText, { kTextLeft, kTextTop, getWidth() - 2 * kTextLeft, getHeight() - 2 * kTextTop },
                      juce::Justification::centredLeft, juce::jmax (lineCount, kMinimumTextLines));
}

} // namespace vo::gui
