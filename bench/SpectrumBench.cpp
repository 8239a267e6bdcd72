// SpectrumFrame: what one newly published display frame costs the editor's
// message thread: the spectrum view takes it, rebuilds its curves (96 × 32
// bell evaluations, one spline point per plot column, three paths) and
// repaints the whole 652 × 190 view, at 1× and 2×.

#include "plugin/ui/ProductTheme.h"
#include "plugin/ui/spectrum/SpectrumView.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace
{

using vo::plugins::zel::DisplayFrame;
using vo::plugins::zel::kBandCount;
using vo::plugins::zel::ui::SpectrumView;

constexpr int kViewWidth = 652;
constexpr int kViewHeight = 190;

// A busy frame: a sidechain with a low hump and a bright top, and a cut in
// every band, so every bell is evaluated.
DisplayFrame busyFrame (std::int32_t serial)
{
    DisplayFrame frame;
    for (int b = 0; b < kBandCount; ++b)
    {
        const auto position = static_cast<float> (b) / static_cast<float> (kBandCount - 1);
        frame.scLevels[(size_t) b] = -50.0f + 40.0f * std::exp (-std::pow ((position - 0.25f) * 5.0f, 2.0f))
                                     + 3.0f * std::sin (static_cast<float> (b + serial));
        frame.bandGains[(size_t) b] = -1.0f - 12.0f * std::exp (-std::pow ((position - 0.25f) * 4.0f, 2.0f));
        frame.cut[(size_t) b] = frame.bandGains[(size_t) b];
    }
    frame.lowCut = 40.0f;
    frame.highCut = 9000.0f;
    frame.serial = serial;
    return frame;
}

void SpectrumFrame (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    const auto scale = static_cast<float> (state.range (0));
    std::int32_t serial = 1;
    SpectrumView view ([&serial] (DisplayFrame& out) { out = busyFrame (serial); },
                       vo::plugins::zel::ui::productTheme());
    view.setSize (kViewWidth, kViewHeight);

    juce::Image canvas (juce::Image::ARGB, juce::roundToInt (kViewWidth * scale),
                        juce::roundToInt (kViewHeight * scale), true);
    const auto rebuildsBefore = view.getPlot().getRebuildCount();

    for (auto _ : state)
    {
        ++serial;
        view.poll();
        juce::Graphics g (canvas);
        g.addTransform (juce::AffineTransform::scale (scale));
        view.paintEntireComponent (g, false);
        benchmark::DoNotOptimize (canvas.getPixelAt (10, 10));
    }

    // Every iteration must have been a real new frame.
    const auto rebuilds = view.getPlot().getRebuildCount() - rebuildsBefore;
    if (rebuilds != static_cast<int> (state.iterations()))
        state.SkipWithError ("a frame was not rebuilt");
    state.counters["rebuilds"] = benchmark::Counter (static_cast<double> (rebuilds), benchmark::Counter::kAvgIterations);
}

// The two halves on their own: the rebuild (no painting) and a repaint of
// an unchanged frame.
void SpectrumRebuild (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    std::int32_t serial = 1;
    SpectrumView view ([&serial] (DisplayFrame& out) { out = busyFrame (serial); },
                       vo::plugins::zel::ui::productTheme());
    view.setSize (kViewWidth, kViewHeight);
    for (auto _ : state)
    {
        ++serial;
        view.poll();
    }
}

void SpectrumRepaint (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    const auto scale = static_cast<float> (state.range (0));
    SpectrumView view ([] (DisplayFrame& out) { out = busyFrame (1); }, vo::plugins::zel::ui::productTheme());
    view.setSize (kViewWidth, kViewHeight);
    juce::Image canvas (juce::Image::ARGB, juce::roundToInt (kViewWidth * scale),
                        juce::roundToInt (kViewHeight * scale), true);
    for (auto _ : state)
    {
        juce::Graphics g (canvas);
        g.addTransform (juce::AffineTransform::scale (scale));
        view.paintEntireComponent (g, false);
        benchmark::DoNotOptimize (canvas.getPixelAt (10, 10));
    }
}

BENCHMARK (SpectrumFrame)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);
BENCHMARK (SpectrumRebuild)->Unit (benchmark::kMillisecond);
BENCHMARK (SpectrumRepaint)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
