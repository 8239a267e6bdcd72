#include "SpectrumPlot.h"

#include <algorithm>
#include <cmath>

namespace vo::plugins::zel::ui
{

namespace
{

const float kDecades = std::log (1000.0f);
constexpr float kSmallestHz = 0.001f;
constexpr float kFallbackRate = 48000.0f;
constexpr float kLowestUsableRate = 1000.0f;

// Uniform Catmull-Rom through p1 and p2 at 0 <= t < 1.
float catmullRom (float p0, float p1, float p2, float p3, float t) noexcept
{
    return (((1.5f * p1 - 0.5f * p0 - 1.5f * p2 + 0.5f * p3) * t + (p0 - 2.5f * p1 + 2.0f * p2 - 0.5f * p3)) * t
            + (0.5f * p2 - 0.5f * p0)) * t
           + p1;
}

float bandEdgeHz (int edge) noexcept
{
    return SpectrumPlot::kLowestHz * std::pow (1000.0f, static_cast<float> (edge) / static_cast<float> (kBandCount));
}

} // namespace

float SpectrumPlot::xForFrequency (float hz) const noexcept
{
    return plot.getX() + std::log (std::max (hz, kSmallestHz) / kLowestHz) / kDecades * plot.getWidth();
}

float SpectrumPlot::frequencyForX (float x) const noexcept
{
    const auto position = std::clamp ((x - plot.getX()) / std::max (plot.getWidth(), 1.0f), 0.0f, 1.0f);
    return kLowestHz * std::pow (1000.0f, position);
}

float SpectrumPlot::yForLevel (float db) const noexcept
{
    return plot.getY() - std::clamp (db, kFloorDb, 0.0f) / -kFloorDb * plot.getHeight();
}

float SpectrumPlot::drawingRate (const DisplayFrame& frame) noexcept
{
    return frame.sampleRate > kLowestUsableRate ? frame.sampleRate : kFallbackRate;
}

void SpectrumPlot::rebuild (const DisplayFrame& frame)
{
    for (int b = 0; b < kBandCount; ++b)
        levels[(size_t) b] = std::max (frame.scLevels[(size_t) b], kFloorDb);
    rebuildCutCurve (frame);
    rebuildEdges (frame);
    rebuildPaths();
    rebuildDots (frame);
    ++rebuilds;
}

// The bells' combined response, from the engine's own bell formula, so the
// drawn curve is exactly what the bank does.
void SpectrumPlot::rebuildCutCurve (const DisplayFrame& frame)
{
    const double rate = drawingRate (frame);
    for (int i = 0; i < kCutPoints; ++i)
    {
        const double hz = kLowestHz * std::pow (1000.0, static_cast<double> (i) / (kCutPoints - 1));
        double sum = 0.0;
        for (int b = 0; b < kBandCount; ++b)
            if (const auto gain = frame.bandGains[(size_t) b]; gain != 0.0f)
                sum += bandResponseDb (rate, bellCentreHz (b, rate), gain, hz);
        cutCurve[(size_t) i] = static_cast<float> (std::min (sum, 0.0));
    }
}

void SpectrumPlot::rebuildEdges (const DisplayFrame& frame)
{
    lowEdgeX = plot.getRight();
    for (int b = 0; b < kBandCount; ++b)
        if (bandCentreHz (b) >= frame.lowCut)
        {
            lowEdgeX = clampX (xForFrequency (bandEdgeHz (b)));
            break;
        }

    highEdgeX = plot.getX();
    for (int b = kBandCount - 1; b >= 0; --b)
        if (bandCentreHz (b) <= frame.highCut)
        {
            highEdgeX = clampX (xForFrequency (bandEdgeHz (b + 1)));
            break;
        }
}

void SpectrumPlot::rebuildPaths()
{
    scLine.clear();
    scArea.clear();
    cutLine.clear();
    pointCount = std::clamp (static_cast<int> (std::floor (plot.getWidth())), 0, kMaxCurvePoints);
    if (pointCount < 2)
        return;

    const auto bottom = plot.getBottom();
    const auto step = plot.getWidth() / static_cast<float> (pointCount - 1);
    scArea.startNewSubPath (plot.getX(), bottom);
    for (int j = 0; j < pointCount; ++j)
    {
        const auto x = plot.getX() + static_cast<float> (j) * step;
        const auto hz = frequencyForX (x);
        const auto scY = yForLevel (levelAt (hz));
        const auto cutY = yForLevel (cutAt (hz));
        if (j == 0)
        {
            scLine.startNewSubPath (x, scY);
            cutLine.startNewSubPath (x, cutY);
        }
        else
        {
            scLine.lineTo (x, scY);
            cutLine.lineTo (x, cutY);
        }
        scArea.lineTo (x, scY);
    }
    scArea.lineTo (plot.getX() + static_cast<float> (pointCount - 1) * step, bottom);
    scArea.closeSubPath();
}

// One dot per band at its centre and its followed cut; drawn even when the
// plot is too narrow for curves.
void SpectrumPlot::rebuildDots (const DisplayFrame& frame)
{
    bandDots.clear();
    for (int b = 0; b < kBandCount; ++b)
        bandDots.addEllipse (juce::Rectangle<float> (kDotSize, kDotSize)
                                 .withCentre ({ xForFrequency (bandCentreHz (b)), yForLevel (frame.cut[(size_t) b]) }));
}

float SpectrumPlot::levelAt (float hz) const noexcept
{
    const auto position = std::log (hz / kLowestHz) * static_cast<float> (kBandCount) / kDecades - 0.5f;
    const auto c = static_cast<int> (std::floor (position));
    const auto t = position - static_cast<float> (c);
    const auto at = [this] (int band) { return levels[(size_t) std::clamp (band, 0, kBandCount - 1)]; };
    return catmullRom (at (c - 1), at (c), at (c + 1), at (c + 2), t);
}

float SpectrumPlot::cutAt (float hz) const noexcept
{
    const auto position = std::clamp (std::log (std::max (hz, kSmallestHz) / kLowestHz) / kDecades
                                          * static_cast<float> (kCutPoints - 1),
                                      0.0f, static_cast<float> (kCutPoints - 1));
    const auto k = static_cast<int> (std::floor (position));
    const auto next = std::min (k + 1, kCutPoints - 1);
    return cutCurve[(size_t) k] + (cutCurve[(size_t) next] - cutCurve[(size_t) k]) * (position - static_cast<float> (k));
}

float SpectrumPlot::clampX (float x) const noexcept
{
    return std::clamp (x, plot.getX(), plot.getRight());
}

} // namespace vo::plugins::zel::ui
