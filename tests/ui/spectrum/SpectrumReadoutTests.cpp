// The read-out's words and where its chip goes.

#include "plugin/ui/spectrum/SpectrumReadout.h"

#include <gtest/gtest.h>

namespace vo::test
{
namespace
{

using plugins::zel::ui::SpectrumReadout;

const juce::String kDot = juce::String::fromUTF8 ("\xc2\xb7");

TEST (SpectrumReadout, WritesHertzBelowOneKilohertzAndKilohertzFromThere)
{
    EXPECT_EQ (SpectrumReadout::frequencyText (999.0f), "999 Hz");
    EXPECT_EQ (SpectrumReadout::frequencyText (440.4f), "440 Hz");
    EXPECT_EQ (SpectrumReadout::frequencyText (1000.0f), "1.0 kHz");
    EXPECT_EQ (SpectrumReadout::frequencyText (1234.5f), "1.2 kHz");
    EXPECT_EQ (SpectrumReadout::frequencyText (20000.0f), "20.0 kHz");
}

TEST (SpectrumReadout, ReadsTinyCutsAsZero)
{
    EXPECT_EQ (SpectrumReadout::levelText (-0.04f), "0.0 dB");
    EXPECT_EQ (SpectrumReadout::levelText (0.04f), "0.0 dB");
    EXPECT_EQ (SpectrumReadout::levelText (-0.06f), "-0.1 dB");
    EXPECT_EQ (SpectrumReadout::levelText (-23.46f), "-23.5 dB");
}

TEST (SpectrumReadout, JoinsThePartsWithMiddleDots)
{
    EXPECT_EQ (SpectrumReadout::statusText (1234.5f, -23.5f, -4.0f, "sc", "cut"),
               "1.2 kHz " + kDot + " sc -23.5 dB " + kDot + " cut -4.0 dB");
    EXPECT_EQ (SpectrumReadout::chipText (999.0f, -0.04f), "999 Hz " + kDot + " 0.0 dB");
}

const juce::Rectangle<float> kPlot { 44.0f, 10.0f, 592.0f, 132.0f };

TEST (SpectrumReadout, PutsTheChipRightOfAndAboveThePointer)
{
    const auto chip = SpectrumReadout::chipBounds (kPlot, 200.0f, 100.0f, 80.0f);
    EXPECT_EQ (chip, juce::Rectangle<float> (210.0f, 72.0f, 80.0f, 18.0f));
}

TEST (SpectrumReadout, FlipsTheChipLeftAtTheRightEdgeAndKeepsItTwoPixelsInside)
{
    const auto right = kPlot.getRight() - 1.0f;
    const auto chip = SpectrumReadout::chipBounds (kPlot, right, 100.0f, 80.0f);
    EXPECT_FLOAT_EQ (chip.getRight(), right - 10.0f);
    EXPECT_LE (chip.getRight(), kPlot.getRight() - 2.0f);

    // Just where it stops fitting on the right.
    const auto edge = kPlot.getRight() - 2.0f - 10.0f - 80.0f;
    EXPECT_FLOAT_EQ (SpectrumReadout::chipBounds (kPlot, edge, 100.0f, 80.0f).getX(), edge + 10.0f);
    EXPECT_FLOAT_EQ (SpectrumReadout::chipBounds (kPlot, edge + 0.5f, 100.0f, 80.0f).getRight(), edge + 0.5f - 10.0f);
}

TEST (SpectrumReadout, KeepsTheChipTwoPixelsInsideAtEveryEdge)
{
    const auto topLeft = SpectrumReadout::chipBounds (kPlot, kPlot.getX(), kPlot.getY(), 80.0f);
    EXPECT_FLOAT_EQ (topLeft.getY(), kPlot.getY() + 2.0f);
    EXPECT_FLOAT_EQ (topLeft.getX(), kPlot.getX() + 10.0f);

    const auto wide = SpectrumReadout::chipBounds (kPlot, 300.0f, 100.0f, 700.0f);
    EXPECT_FLOAT_EQ (wide.getX(), kPlot.getX() + 2.0f);

    const juce::Rectangle<float> flat { 44.0f, 10.0f, 592.0f, 10.0f };
    EXPECT_FLOAT_EQ (SpectrumReadout::chipBounds (flat, 300.0f, 15.0f, 80.0f).getY(), 12.0f);
}

} // namespace
} // namespace vo::test
