// The pure plot: frequency and level to pixels and back, and the curves of a
// frame, which follow the engine's own bell formula.

#include "plugin/ui/spectrum/SpectrumPlot.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vo::test
{
namespace
{

using plugins::zel::DisplayFrame;
using plugins::zel::kBandCount;
using plugins::zel::ui::SpectrumPlot;

SpectrumPlot editorPlot()
{
    SpectrumPlot plot;
    plot.setArea ({ 44.0f, 10.0f, 592.0f, 132.0f });
    return plot;
}

DisplayFrame flatFrame (float levelDb)
{
    DisplayFrame frame;
    frame.scLevels.fill (levelDb);
    return frame;
}

TEST (SpectrumPlot, SpansTwentyHertzToTwentyKilohertzAcrossThePlot)
{
    const auto plot = editorPlot();
    EXPECT_FLOAT_EQ (plot.xForFrequency (20.0f), 44.0f);
    EXPECT_NEAR (plot.xForFrequency (20000.0f), 636.0f, 1e-3f);
    EXPECT_NEAR (plot.xForFrequency (632.456f), 44.0f + 296.0f, 1e-2f); // the geometric middle
    EXPECT_NEAR (plot.frequencyForX (plot.xForFrequency (1234.0f)), 1234.0f, 0.05f);
    EXPECT_FLOAT_EQ (plot.frequencyForX (0.0f), 20.0f);
    EXPECT_FLOAT_EQ (plot.frequencyForX (1000.0f), 20000.0f);
}

TEST (SpectrumPlot, PutsZeroDecibelsAtTheTopAndMinusSixtyAtTheBottom)
{
    const auto plot = editorPlot();
    EXPECT_FLOAT_EQ (plot.yForLevel (0.0f), 10.0f);
    EXPECT_FLOAT_EQ (plot.yForLevel (-30.0f), 76.0f);
    EXPECT_FLOAT_EQ (plot.yForLevel (-60.0f), 142.0f);
    EXPECT_FLOAT_EQ (plot.yForLevel (-100.0f), 142.0f);
    EXPECT_FLOAT_EQ (plot.yForLevel (12.0f), 10.0f);
}

TEST (SpectrumPlot, PassesThroughEveryBandLevelAtItsCentre)
{
    auto plot = editorPlot();
    auto frame = flatFrame (-40.0f);
    for (int b = 0; b < kBandCount; ++b)
        frame.scLevels[(size_t) b] = -50.0f + static_cast<float> (b % 5) * 7.0f;
    plot.rebuild (frame);
    for (int b = 1; b < kBandCount - 1; ++b)
        EXPECT_NEAR (plot.levelAt (plugins::zel::bandCentreHz (b)), frame.scLevels[(size_t) b], 1e-3f) << b;
}

TEST (SpectrumPlot, RaisesSilentBandsToTheFloorBeforeInterpolating)
{
    auto plot = editorPlot();
    plot.rebuild (flatFrame (-100.0f));
    EXPECT_FLOAT_EQ (plot.levelAt (1000.0f), -60.0f);
}

TEST (SpectrumPlot, DrawsTheCutFromTheEnginesBells)
{
    auto plot = editorPlot();
    auto frame = flatFrame (-20.0f);
    const int band = 16;
    frame.bandGains[(size_t) band] = -12.0f;
    plot.rebuild (frame);

    const auto& curve = plot.getCutCurve();
    for (int i = 0; i < SpectrumPlot::kCutPoints; ++i)
    {
        const double hz = 20.0 * std::pow (1000.0, i / 95.0);
        const auto expected = std::min (0.0, plugins::zel::bandResponseDb (48000.0, plugins::zel::bellCentreHz (band, 48000.0), -12.0, hz));
        EXPECT_NEAR (curve[(size_t) i], expected, 1e-4) << i;
    }
    EXPECT_NEAR (plot.cutAt (plugins::zel::bandCentreHz (band)), -12.0f, 0.6f);
    EXPECT_NEAR (plot.cutAt (20.0f), 0.0f, 0.01f);
}

TEST (SpectrumPlot, DrawsAFrameWithoutSampleRateAtFortyEightKilohertz)
{
    DisplayFrame frame;
    frame.sampleRate = 0.0f;
    EXPECT_FLOAT_EQ (SpectrumPlot::drawingRate (frame), 48000.0f);
    frame.sampleRate = 96000.0f;
    EXPECT_FLOAT_EQ (SpectrumPlot::drawingRate (frame), 96000.0f);
}

TEST (SpectrumPlot, MakesOneCurvePointPerPixelColumnUpToSixHundredForty)
{
    auto plot = editorPlot();
    plot.rebuild (flatFrame (-30.0f));
    EXPECT_EQ (plot.getPointCount(), 592);
    EXPECT_FALSE (plot.getSidechainLine().isEmpty());
    EXPECT_FALSE (plot.getSidechainArea().isEmpty());

    plot.setArea ({ 44.0f, 10.0f, 1184.0f, 264.0f });
    plot.rebuild (flatFrame (-30.0f));
    EXPECT_EQ (plot.getPointCount(), 640);

    plot.setArea ({ 44.0f, 10.0f, 1.5f, 264.0f });
    plot.rebuild (flatFrame (-30.0f));
    EXPECT_EQ (plot.getPointCount(), 1);
    EXPECT_TRUE (plot.getSidechainLine().isEmpty());
    EXPECT_TRUE (plot.getCutLine().isEmpty());
    EXPECT_FALSE (plot.getBandDots().isEmpty());
}

TEST (SpectrumPlot, ShadesOutsideTheBandsThatLowAndHighCutLeave)
{
    auto plot = editorPlot();
    DisplayFrame frame;
    plot.rebuild (frame);
    EXPECT_FLOAT_EQ (plot.getLowEdgeX(), 44.0f);
    EXPECT_NEAR (plot.getHighEdgeX(), 636.0f, 1e-3f);

    frame.lowCut = 100.0f;
    frame.highCut = 5000.0f;
    plot.rebuild (frame);
    // The first band centred at or above 100 Hz is band 7 (centre 107 Hz).
    EXPECT_NEAR (plot.getLowEdgeX(), plot.xForFrequency (20.0f * std::pow (1000.0f, 7.0f / 32.0f)), 1e-3f);
    // The last band centred at or below 5 kHz is band 25 (centre 4.7 kHz).
    EXPECT_NEAR (plot.getHighEdgeX(), plot.xForFrequency (20.0f * std::pow (1000.0f, 26.0f / 32.0f)), 1e-3f);

    frame.lowCut = 30000.0f;
    frame.highCut = 10.0f;
    plot.rebuild (frame);
    EXPECT_NEAR (plot.getLowEdgeX(), 636.0f, 1e-3f);
    EXPECT_FLOAT_EQ (plot.getHighEdgeX(), 44.0f);
}

TEST (SpectrumPlot, CountsEveryRebuild)
{
    auto plot = editorPlot();
    EXPECT_EQ (plot.getRebuildCount(), 0);
    plot.rebuild (DisplayFrame {});
    plot.rebuild (DisplayFrame {});
    EXPECT_EQ (plot.getRebuildCount(), 2);
}

} // namespace
} // namespace vo::test
