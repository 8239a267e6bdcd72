#include "SpectrumView.h"

#include "SpectrumPalette.h"
#include "SpectrumReadout.h"

#include "gui/Card.h"
#include "plugin/ui/i18n/Tables.h"

#include <cmath>
#include <utility>

namespace vo::plugins::zel::ui
{

namespace
{

// Layout inside the view, in design pixels.
constexpr float kPlotLeft = 44.0f;
constexpr float kPlotTop = 10.0f;
constexpr float kPlotWidthTrim = 60.0f;
constexpr float kPlotHeightTrim = 58.0f;
constexpr float kStatusLeft = 12.0f;
constexpr float kStatusFromBottom = 38.0f;
constexpr float kStatusHeight = 28.0f;
constexpr int kStatusRepaintMargin = 2;

constexpr float kLabelFontHeight = 9.5f;
constexpr float kChipFontHeight = 10.0f;
constexpr float kStatusFontHeight = 11.5f;
constexpr float kChipPadding = 14.0f;
constexpr float kCurveWidth = 2.0f;
constexpr float kHoverDot = 5.0f;
constexpr float kLegendDot = 6.0f;
constexpr float kLegendGap = 24.0f;
constexpr float kFrozenChipInset = 6.0f;
constexpr int kStatusLines = 2;
constexpr float kStatusMinScale = 0.85f;
constexpr float kMinimumPlot = 2.0f;

// The shading and the limit lines only show where low or high cut actually limit.
constexpr float kLowCutShownAbove = 20.02f;
constexpr float kHighCutShownBelow = 19980.0f;

constexpr std::array kGridHz { 50.0f, 100.0f, 200.0f, 500.0f, 1000.0f, 2000.0f, 5000.0f, 10000.0f };
constexpr std::array kGridDb { -12.0f, -24.0f, -36.0f, -48.0f };
constexpr std::array kLabelDb { 0.0f, -12.0f, -24.0f, -36.0f, -48.0f, -60.0f };

struct FrequencyLabel
{
    float hz;
    const char* text;
};
constexpr std::array kFrequencyLabels { FrequencyLabel { 100.0f, "100" }, FrequencyLabel { 1000.0f, "1k" },
                                        FrequencyLabel { 10000.0f, "10k" } };

// The status lines in the order of SpectrumStatus::Index.
std::array<juce::String, SpectrumStatus::Count> statusTextsOf (const i18n::Table& table)
{
    return { juce::String::fromUTF8 (table.statusAudition), juce::String::fromUTF8 (table.statusFrozen),
             juce::String::fromUTF8 (table.statusNoSignal), juce::String::fromUTF8 (table.statusNoBus),
             juce::String::fromUTF8 (table.statusListening) };
}

} // namespace

SpectrumView::SpectrumView (FrameSource frameSource, const vo::gui::Theme& themeToUse, SpectrumStatus::Clock clock)
    : source (std::move (frameSource)),
      theme (themeToUse),
      fonts (makeFonts (*typefaces)),
      status (std::move (clock)),
      cardShade (themeToUse.cardShadow.toShadow())
{
    setOpaque (false);
    statusTexts = statusTextsOf (i18n::tableFor (i18n::kEnglish));

    source (frame);
    lastSerial = frame.serial;
    status.noteFrame (frame.status);
    refreshStatusText();
    startTimer (kPollMs);
}

SpectrumView::Fonts SpectrumView::makeFonts (const vo::gui::TypefaceCache& cache)
{
    return { cache.getTextFont (kLabelFontHeight), cache.getDisplayFont (kLabelFontHeight),
             cache.getTextFont (kChipFontHeight), cache.getTextFont (kStatusFontHeight) };
}

SpectrumView::~SpectrumView()
{
    stopTimer();
}

void SpectrumView::setTexts (const i18n::Table& table)
{
    legendSc = juce::String::fromUTF8 (table.legendSidechain);
    legendCut = juce::String::fromUTF8 (table.legendCut);
    readoutSc = juce::String::fromUTF8 (table.readoutSc);
    readoutCut = juce::String::fromUTF8 (table.readoutCut);
    frozenWord = juce::String::fromUTF8 (table.labelFreeze);
    statusTexts = statusTextsOf (table);
    if (hoverX >= 0.0f)
        updateReadout();
    updateLegendWidths();
    refreshStatusText();
    repaintWhole();
}

void SpectrumView::setHelp (const juce::String& text, bool tooltipsOnNow)
{
    if (text == helpText && tooltipsOnNow == tooltipsOn)
        return;
    helpText = text;
    tooltipsOn = tooltipsOnNow;
    repaint (statusArea.toNearestInt().expanded (kStatusRepaintMargin));
}

void SpectrumView::timerCallback()
{
    poll();
}

void SpectrumView::poll()
{
    DisplayFrame newest;
    source (newest);
    if (newest.serial != lastSerial)
        takeFrame (newest);
    refreshStatusText();
    if (tickCallback)
        tickCallback();
}

void SpectrumView::takeFrame (const DisplayFrame& newFrame)
{
    frame = newFrame;
    lastSerial = frame.serial;
    status.noteFrame (frame.status);
    rebuild();
    if (hoverX >= 0.0f)
        updateReadout();
    repaintWhole();
}

void SpectrumView::resized()
{
    const auto width = static_cast<float> (getWidth());
    const auto height = static_cast<float> (getHeight());
    plot.setArea ({ kPlotLeft, kPlotTop, juce::jmax (0.0f, width - kPlotWidthTrim),
                    juce::jmax (0.0f, height - kPlotHeightTrim) });
    statusArea = { kStatusLeft, height - kStatusFromBottom, juce::jmax (0.0f, width - 2.0f * kStatusLeft),
                   kStatusHeight };
    rebuild();
    updateLegendWidths();
    if (hoverX >= 0.0f)
        updateReadout();
}

void SpectrumView::rebuild()
{
    plot.rebuild (frame);
}

void SpectrumView::updateReadout()
{
    const auto hz = plot.frequencyForX (hoverX);
    hoverScDb = plot.levelAt (hz);
    hoverCutDb = plot.cutAt (hz);
    hoverText = SpectrumReadout::statusText (hz, hoverScDb, hoverCutDb, readoutSc, readoutCut);
    chipText = SpectrumReadout::chipText (hz, hoverCutDb);
    chipWidth = fonts.chip.getStringWidthFloat (chipText) + kChipPadding;
}

void SpectrumView::updateLegendWidths()
{
    legendScWidth = fonts.legend.getStringWidthFloat (legendSc);
    legendCutWidth = fonts.legend.getStringWidthFloat (legendCut);
    frozenChipWidth = fonts.legend.getStringWidthFloat (frozenWord) + kChipPadding;
}

void SpectrumView::refreshStatusText()
{
    const auto& text = statusTexts[(size_t) status.currentIndex()];
    if (text == statusText)
        return;
    statusText = text;
    repaint (statusArea.toNearestInt().expanded (kStatusRepaintMargin));
}

void SpectrumView::repaintWhole()
{
    ++fullRepaints;
    repaint();
}

bool SpectrumView::isFrozen() const noexcept
{
    return (frame.status & DisplayFrame::StatusFrozen) != 0;
}

juce::String SpectrumView::getStatusLine() const
{
    if (tooltipsOn && helpText.isNotEmpty())
        return helpText;
    if (hoverX >= 0.0f && hoverText.isNotEmpty())
        return hoverText;
    if (helpText.isNotEmpty())
        return helpText;
    return statusText;
}

juce::Rectangle<float> SpectrumView::getChipBounds() const
{
    return SpectrumReadout::chipBounds (plot.getArea(), hoverX, hoverY, chipWidth);
}

void SpectrumView::mouseMove (const juce::MouseEvent& event)
{
    const auto point = event.position;
    const auto area = plot.getArea();
    const bool inside = point.x >= area.getX() && point.x < area.getRight() && point.y >= area.getY()
                        && point.y < area.getBottom();
    const auto x = inside ? point.x : -1.0f;
    if (x == hoverX && (x < 0.0f || point.y == hoverY))
        return;

    hoverX = x;
    hoverY = point.y;
    if (x >= 0.0f)
        updateReadout();
    else
        hoverText.clear();
    repaintWhole();
}

void SpectrumView::mouseExit (const juce::MouseEvent&)
{
    if (hoverX < 0.0f)
        return;
    hoverX = -1.0f;
    hoverText.clear();
    repaintWhole();
}

void SpectrumView::paint (juce::Graphics& g)
{
    vo::gui::drawCard (g, getLocalBounds().toFloat(), theme, &cardShade);
    const auto area = plot.getArea();
    if (area.getWidth() < kMinimumPlot || area.getHeight() < kMinimumPlot)
        return;

    {
        const juce::Graphics::ScopedSaveState clipped (g);
        g.reduceClipRegion (area.toNearestInt());
        paintGrid (g);
        if (plot.getPointCount() > 1)
        {
            g.setColour (SpectrumPalette::amber().withAlpha (SpectrumPalette::kAreaAlpha));
            g.fillPath (plot.getSidechainArea());
        }
        paintLevelGrid (g);
        paintCurves (g);
        paintRange (g);
        paintHover (g);
        paintFrequencyLabels (g);
        paintLegend (g);
        paintFrozenChip (g);
    }
    paintLevelLabels (g);
    paintStatusLine (g);
}

void SpectrumView::paintGrid (juce::Graphics& g) const
{
    const auto area = plot.getArea();
    g.setColour (theme.extraColour4);
    for (const auto hz : kGridHz)
        g.fillRect (std::floor (plot.xForFrequency (hz)), area.getY(), 1.0f, area.getHeight());
}

void SpectrumView::paintLevelGrid (juce::Graphics& g) const
{
    const auto area = plot.getArea();
    for (const auto db : kGridDb)
    {
        const auto y = std::floor (plot.yForLevel (db));
        g.setColour (theme.extraColour4.withAlpha (SpectrumPalette::kGridAlpha));
        g.fillRect (area.getX(), y, area.getWidth(), 1.0f);
        g.setColour (juce::Colours::white.withAlpha (SpectrumPalette::kGridHighlightAlpha));
        g.fillRect (area.getX(), y + 1.0f, area.getWidth(), 1.0f);
    }
}

void SpectrumView::paintCurves (juce::Graphics& g) const
{
    const auto frozen = isFrozen();
    if (plot.getPointCount() >= 2)
    {
        const juce::PathStrokeType stroke (kCurveWidth, juce::PathStrokeType::curved, juce::PathStrokeType::rounded);
        g.setColour (SpectrumPalette::amber());
        g.strokePath (plot.getSidechainLine(), stroke);
        g.setColour (SpectrumPalette::cut (frozen));
        g.strokePath (plot.getCutLine(), stroke);
    }
    g.setColour (frozen ? SpectrumPalette::frozenCream() : SpectrumPalette::cream().withAlpha (SpectrumPalette::kDotAlpha));
    g.fillPath (plot.getBandDots());
}

void SpectrumView::paintRange (juce::Graphics& g) const
{
    const auto area = plot.getArea();
    g.setColour (juce::Colours::black.withAlpha (SpectrumPalette::kShadeAlpha));
    if (plot.getLowEdgeX() > area.getX())
        g.fillRect (area.withRight (plot.getLowEdgeX()));
    if (plot.getHighEdgeX() < area.getRight())
        g.fillRect (area.withLeft (plot.getHighEdgeX()));

    g.setColour (SpectrumPalette::cream().withAlpha (SpectrumPalette::kLimitAlpha));
    if (frame.lowCut > kLowCutShownAbove)
        g.fillRect (std::floor (plot.xForFrequency (frame.lowCut)), area.getY(), 1.0f, area.getHeight());
    if (frame.highCut < kHighCutShownBelow)
        g.fillRect (std::floor (plot.xForFrequency (frame.highCut)), area.getY(), 1.0f, area.getHeight());
}

void SpectrumView::paintHover (juce::Graphics& g) const
{
    if (hoverX < 0.0f)
        return;
    const auto area = plot.getArea();
    g.setColour (SpectrumPalette::amber().withAlpha (SpectrumPalette::kCursorAlpha));
    g.fillRect (std::floor (hoverX), area.getY(), 1.0f, area.getHeight());

    const auto dot = juce::Rectangle<float> (kHoverDot, kHoverDot);
    g.setColour (SpectrumPalette::amber());
    g.fillEllipse (dot.withCentre ({ hoverX, plot.yForLevel (hoverScDb) }));
    g.setColour (SpectrumPalette::cut (isFrozen()));
    g.fillEllipse (dot.withCentre ({ hoverX, plot.yForLevel (hoverCutDb) }));

    paintChip (g, getChipBounds(), theme.surface.withAlpha (SpectrumPalette::kChipAlpha), theme.outline, theme.text,
               fonts.chip, chipText);
}

void SpectrumView::paintFrequencyLabels (juce::Graphics& g) const
{
    const auto area = plot.getArea();
    g.setFont (fonts.label);
    g.setColour (SpectrumPalette::label());
    for (const auto& label : kFrequencyLabels)
        g.drawText (label.text,
                    juce::Rectangle<int> (static_cast<int> (plot.xForFrequency (label.hz)) + 3,
                                          static_cast<int> (area.getBottom()) - 13, 30, 11),
                    juce::Justification::centredLeft, false);
}

void SpectrumView::paintLegend (juce::Graphics& g) const
{
    const auto area = plot.getArea();
    auto lx = area.getX() + 8.0f;
    const auto ly = area.getY() + 6.0f;
    g.setFont (fonts.legend);

    const auto entry = [&] (juce::Colour dot, const juce::String& word, float width) {
        g.setColour (dot);
        g.fillEllipse (lx, ly + 4.0f, kLegendDot, kLegendDot);
        g.setColour (SpectrumPalette::label());
        g.drawText (word, juce::Rectangle<int> (static_cast<int> (lx) + 10, static_cast<int> (ly), static_cast<int> (width) + 4, 14),
                    juce::Justification::centredLeft, false);
        lx += width + kLegendGap;
    };
    entry (SpectrumPalette::amber(), legendSc, legendScWidth);
    entry (SpectrumPalette::cut (isFrozen()), legendCut, legendCutWidth);
}

void SpectrumView::paintFrozenChip (juce::Graphics& g) const
{
    if (! isFrozen())
        return;
    const auto area = plot.getArea();
    const juce::Rectangle<float> chip (area.getRight() - frozenChipWidth - kFrozenChipInset, area.getY() + kFrozenChipInset,
                                       frozenChipWidth, SpectrumReadout::kChipHeight);
    paintChip (g, chip, theme.accentLine, juce::Colours::transparentBlack, theme.inkOnAccent,
               fonts.legend, frozenWord);
}

void SpectrumView::paintLevelLabels (juce::Graphics& g) const
{
    const auto area = plot.getArea();
    g.setFont (fonts.label);
    g.setColour (SpectrumPalette::label());
    for (const auto db : kLabelDb)
        g.drawText (juce::String (juce::roundToInt (db)),
                    juce::Rectangle<int> (0, static_cast<int> (std::floor (plot.yForLevel (db))) - 6,
                                          static_cast<int> (area.getX()) - 5, 11),
                    juce::Justification::centredRight, false);
}

void SpectrumView::paintStatusLine (juce::Graphics& g) const
{
    g.setFont (fonts.status);
    g.setColour (SpectrumPalette::pale());
    g.drawFittedText (getStatusLine(), statusArea.toNearestInt(), juce::Justification::centredLeft, kStatusLines,
                      kStatusMinScale);
}

void SpectrumView::paintChip (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour fill, juce::Colour outline,
                              juce::Colour textColour, const juce::Font& font, const juce::String& text)
{
    const auto radius = area.getHeight() / 2.0f;
    g.setColour (fill);
    g.fillRoundedRectangle (area, radius);
    if (! outline.isTransparent())
    {
        g.setColour (outline);
        g.drawRoundedRectangle ({ area.getX() + 0.5f, area.getY() + 0.5f, juce::jmax (0.0f, area.getWidth() - 1.0f),
                                  juce::jmax (0.0f, area.getHeight() - 1.0f) },
                                radius, 1.0f);
    }
    g.setColour (textColour);
    g.setFont (font);
    g.drawText (text, area.toNearestInt(), juce::Justification::centred, false);
}

} // namespace vo::plugins::zel::ui
