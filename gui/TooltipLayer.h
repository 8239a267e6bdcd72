#pragma once

#include "Theme.h"
#include "i18n/Lang.h"
#include "melatonin/DropShadow.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace vo::gui
{

// The one tooltip box of an editor: a small rounded panel placed below the
// hovered control (above it near the bottom edge). It appears after a short
// rest of the mouse, at once while it is already showing or in help mode,
// and goes a moment after the mouse leaves. It never takes a click.
class TooltipLayer : public juce::Component,
                     private juce::Timer
{
public:
    static constexpr int kShowDelayMs = 350;
    static constexpr int kHideDelayMs = 120;
    static constexpr int kHeldButtonRetryMs = 200;
    static constexpr float kFontHeight = 11.5f;
    static constexpr int kMaximumTextWidth = 240;
    static constexpr int kHorizontalPadding = 28;
    static constexpr int kLineHeight = 14;
    static constexpr int kVerticalPadding = 20;
    static constexpr int kEdgeGap = 2;
    static constexpr int kTargetGap = 4;

    explicit TooltipLayer (const Theme& theme);

    // `text` is already translated for the layer's language.
    void requestShow (juce::Component* target, const juce::String& text);
    void requestHide();
    void showNow();

    void setHelpMode (bool on);
    bool isHelpMode() const noexcept { return helpMode; }
    void setLanguage (i18n::Lang lang) noexcept { language = lang; }
    i18n::Lang getLanguage() const noexcept { return language; }

    const juce::String& getShownText() const noexcept { return shownText; }
    int getLineCount() const noexcept { return lineCount; }
    bool isWaiting() const noexcept { return isTimerRunning(); }

    void paint (juce::Graphics& g) override;

private:
    void timerCallback() override;
    void place (juce::Component& control, int width, int height);

    const Theme theme;
    melatonin::DropShadow shadow;
    juce::Component::SafePointer<juce::Component> target;
    juce::String pendingText;
    juce::String shownText;
    int lineCount = 1;
    bool hidePending = false;
    bool helpMode = false;
    i18n::Lang language = i18n::Lang::English;
};

} // namespace vo::gui
