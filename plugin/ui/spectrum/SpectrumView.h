#pragma once

#include "SpectrumPlot.h"
#include "SpectrumStatus.h"

#include "gui/Theme.h"
#include "gui/TypefaceCache.h"
#include "gui/melatonin/DropShadow.h"
#include "plugin/engine/display/DisplayFrame.h"
#include "plugin/ui/i18n/Table.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>

namespace vo::plugins::zel::ui
{

// The display at the top of the editor: the sidechain spectrum, the cut it
// makes in this track, the range outside low and high cut, a read-out under
// the pointer, and below it all the status line. Its 30 Hz timer is also the
// editor's frame clock.
//
// It reads the engine only through the display hand-over: `FrameSource`
// copies the newest published frame (the editor passes the engine's
// readDisplayFrame), so nothing else of the processor is reachable from here.
class SpectrumView : public juce::Component,
                     private juce::Timer
{
public:
    using FrameSource = std::function<void (DisplayFrame&)>;

    static constexpr int kPollMs = 33;

    SpectrumView (FrameSource source, const vo::gui::Theme& theme,
                  SpectrumStatus::Clock clock = SpectrumStatus::defaultClock());
    ~SpectrumView() override;

    void setTexts (const i18n::Table& table);
    void setHelp (const juce::String& text, bool tooltipsOn);

    // Called at the end of every tick; the editor installs its per-frame refresh.
    std::function<void()> tickCallback;

    // One poll of the display hand-over, as the timer does it.
    void poll();

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseMove (const juce::MouseEvent& event) override;
    void mouseExit (const juce::MouseEvent& event) override;

    // What the status line shows now, and what else the view has worked out.
    juce::String getStatusLine() const;
    SpectrumStatus::Index getStatusIndex() const { return status.currentIndex(); }
    const juce::String& getHoverText() const noexcept { return hoverText; }
    const juce::String& getChipText() const noexcept { return chipText; }
    juce::Rectangle<float> getChipBounds() const;
    juce::Rectangle<float> getStatusArea() const noexcept { return statusArea; }
    const SpectrumPlot& getPlot() const noexcept { return plot; }
    const DisplayFrame& getFrame() const noexcept { return frame; }
    int getFullRepaintCount() const noexcept { return fullRepaints; }

private:
    void timerCallback() override;

    void takeFrame (const DisplayFrame& newFrame);
    void rebuild();
    void updateReadout();
    void updateLegendWidths();
    void refreshStatusText();
    void repaintWhole();
    bool isFrozen() const noexcept;

    void paintGrid (juce::Graphics& g) const;
    void paintLevelGrid (juce::Graphics& g) const;
    void paintCurves (juce::Graphics& g) const;
    void paintRange (juce::Graphics& g) const;
    void paintHover (juce::Graphics& g) const;
    void paintFrequencyLabels (juce::Graphics& g) const;
    void paintLegend (juce::Graphics& g) const;
    void paintFrozenChip (juce::Graphics& g) const;
    void paintLevelLabels (juce::Graphics& g) const;
    void paintStatusLine (juce::Graphics& g) const;
    static void paintChip (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour fill, juce::Colour outline,
                           juce::Colour textColour, const juce::Font& font, const juce::String& text);

    struct Fonts
    {
        juce::Font label, legend, chip, status;
    };
    static Fonts makeFonts (const vo::gui::TypefaceCache& cache);

    FrameSource source;
    vo::gui::Theme theme;
    // Held for the view's life: the typefaces are loaded once, not at every paint.
    juce::SharedResourcePointer<vo::gui::TypefaceCache> typefaces;
    Fonts fonts;
    DisplayFrame frame;
    std::int32_t lastSerial = 0;
    SpectrumPlot plot;
    SpectrumStatus status;
    juce::Rectangle<float> statusArea;
    melatonin::DropShadow cardShade;

    juce::String helpText;
    bool tooltipsOn = false;
    juce::String hoverText;
    juce::String chipText;
    juce::String statusText;
    float hoverX = -1.0f;
    float hoverY = 0.0f;
    float hoverScDb = SpectrumPlot::kFloorDb;
    float hoverCutDb = 0.0f;
    float chipWidth = 0.0f;
    float legendScWidth = 0.0f;
    float legendCutWidth = 0.0f;
    float frozenChipWidth = 0.0f;

    juce::String legendSc { "sidechain" };
    juce::String legendCut { "cut" };
    juce::String readoutSc { "sc" };
    juce::String readoutCut { "cut" };
    juce::String frozenWord { "frozen" };
    std::array<juce::String, SpectrumStatus::Count> statusTexts;

    int fullRepaints = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SpectrumView)
};

} // namespace vo::plugins::zel::ui
