#pragma once

#include "plugin/engine/display/DisplayFrame.h"

#include <juce_graphics/juce_graphics.h>

#include <array>

namespace vo::plugins::zel::ui
{

// The pure part of the spectrum view: where a frequency or a level lands in
// the plot, and the curves of one display frame in those coordinates. It knows
// nothing of components or timers, so it can be built and measured alone.
class SpectrumPlot
{
public:
    static constexpr float kLowestHz = 20.0f;
    static constexpr float kHighestHz = 20000.0f;
    static constexpr float kFloorDb = -60.0f;
    static constexpr int kCutPoints = 96;
    static constexpr int kMaxCurvePoints = 640;
    static constexpr float kDotSize = 3.0f;

    using CutCurve = std::array<float, kCutPoints>;

    // The plot area in view coordinates; the curves must be rebuilt after it changes.
    void setArea (juce::Rectangle<float> area) noexcept { plot = area; }
    juce::Rectangle<float> getArea() const noexcept { return plot; }

    float xForFrequency (float hz) const noexcept;
    float frequencyForX (float x) const noexcept;
    float yForLevel (float db) const noexcept;

    // Recomputes the cut response, the range edges and the three paths from
    // the frame. Every call is counted.
    void rebuild (const DisplayFrame& frame);

    // The sidechain level at a frequency, interpolated across the bands (not
    // clamped to the plot's floor), and the cut there, both in dB.
    float levelAt (float hz) const noexcept;
    float cutAt (float hz) const noexcept;

    const juce::Path& getSidechainLine() const noexcept { return scLine; }
    const juce::Path& getSidechainArea() const noexcept { return scArea; }
    const juce::Path& getCutLine() const noexcept { return cutLine; }
    const juce::Path& getBandDots() const noexcept { return bandDots; }
    const CutCurve& getCutCurve() const noexcept { return cutCurve; }
    int getPointCount() const noexcept { return pointCount; }
    float getLowEdgeX() const noexcept { return lowEdgeX; }
    float getHighEdgeX() const noexcept { return highEdgeX; }
    int getRebuildCount() const noexcept { return rebuilds; }

    // The sample rate a frame is drawn with: frames from an unprepared engine carry none.
    static float drawingRate (const DisplayFrame& frame) noexcept;

private:
    void rebuildCutCurve (const DisplayFrame& frame);
    void rebuildEdges (const DisplayFrame& frame);
    void rebuildPaths();
    void rebuildDots (const DisplayFrame& frame);
    float clampX (float x) const noexcept;

    juce::Rectangle<float> plot;
    std::array<float, kBandCount> levels {};
    CutCurve cutCurve {};
    juce::Path scLine, scArea, cutLine, bandDots;
    int pointCount = 0;
    float lowEdgeX = 0.0f;
    float highEdgeX = 0.0f;
    int rebuilds = 0;
};

} // namespace vo::plugins::zel::ui
