// The spectrum view fed through its frame source: what it rebuilds, what the
// status line says, and the read-out under a synthetic pointer.

#include "plugin/ui/spectrum/SpectrumView.h"

#include "plugin/engine/CarveEngine.h"
#include "plugin/ui/ProductTheme.h"
#include "plugin/ui/i18n/Tables.h"

#include <gtest/gtest.h>

#include <vector>

namespace vo::test
{
namespace
{

using plugins::zel::DisplayFrame;
using plugins::zel::ui::SpectrumStatus;
using plugins::zel::ui::SpectrumView;

class SpectrumViewTest : public ::testing::Test
{
protected:
    SpectrumViewTest()
    {
        view.setSize (652, 190);
    }

    // Publishes a new frame, as the engine does: one serial up.
    void publish (std::uint8_t status, float level = -30.0f)
    {
        published.serial += 1;
        published.status = status;
        published.scLevels.fill (level);
        published.bandGains.fill (-3.0f);
    }

    void hover (float x, float y)
    {
        view.mouseMove (juce::MouseEvent (mouse, { x, y }, {}, juce::MouseInputSource::defaultPressure,
                                          juce::MouseInputSource::defaultOrientation,
                                          juce::MouseInputSource::defaultRotation,
                                          juce::MouseInputSource::defaultTiltX, juce::MouseInputSource::defaultTiltY,
                                          &view, &view, juce::Time(), { x, y }, juce::Time(), 0, false));
    }

    juce::String english (const char* plugins::zel::i18n::Table::*field) const
    {
        return juce::String::fromUTF8 (plugins::zel::i18n::tableFor (0).*field);
    }

    juce::ScopedJuceInitialiser_GUI gui;
    juce::MouseInputSource mouse = juce::Desktop::getInstance().getMainMouseSource();
    DisplayFrame published;
    int reads = 0;
    std::uint32_t now = 5000;
    SpectrumView view { [this] (DisplayFrame& out) { ++reads; out = published; },
                        plugins::zel::ui::productTheme(), [this] { return now; } };
};

TEST_F (SpectrumViewTest, TakesOneFrameWhenBuiltAndBuildsItsCurvesWhenSized)
{
    EXPECT_EQ (reads, 1);
    EXPECT_EQ (view.getPlot().getArea(), juce::Rectangle<float> (44.0f, 10.0f, 592.0f, 132.0f));
    EXPECT_EQ (view.getStatusArea(), juce::Rectangle<float> (12.0f, 152.0f, 628.0f, 28.0f));
    EXPECT_EQ (view.getPlot().getRebuildCount(), 1);
}

TEST_F (SpectrumViewTest, AnUnchangedSerialRebuildsAndRepaintsNothingButStillTicks)
{
    int ticks = 0;
    view.tickCallback = [&ticks] { ++ticks; };
    const auto rebuilds = view.getPlot().getRebuildCount();
    const auto repaints = view.getFullRepaintCount();
    for (int i = 0; i < 10; ++i)
        view.poll();
    EXPECT_EQ (view.getPlot().getRebuildCount(), rebuilds);
    EXPECT_EQ (view.getFullRepaintCount(), repaints);
    EXPECT_EQ (ticks, 10);
}

TEST_F (SpectrumViewTest, ANewSerialRebuildsOnce)
{
    const auto rebuilds = view.getPlot().getRebuildCount();
    publish (0);
    view.poll();
    view.poll();
    EXPECT_EQ (view.getPlot().getRebuildCount(), rebuilds + 1);
    EXPECT_EQ (view.getFrame().serial, published.serial);
}

TEST_F (SpectrumViewTest, ShowsTheStatusOfTheNewestFrame)
{
    EXPECT_EQ (view.getStatusLine(), english (&plugins::zel::i18n::Table::statusListening));
    publish (DisplayFrame::StatusFrozen);
    view.poll();
    EXPECT_EQ (view.getStatusLine(), english (&plugins::zel::i18n::Table::statusFrozen));
    publish (DisplayFrame::StatusNoSidechainBus | DisplayFrame::StatusAuditioning);
    view.poll();
    EXPECT_EQ (view.getStatusLine(), english (&plugins::zel::i18n::Table::statusAudition));
}

TEST_F (SpectrumViewTest, ReportsASilentSidechainAfterItsWaitWithoutANewFrame)
{
    publish (DisplayFrame::StatusNothingToCut);
    view.poll();
    EXPECT_EQ (view.getStatusIndex(), SpectrumStatus::Listening);
    now += 1500;
    view.poll(); // same serial: only the clock moved
    EXPECT_EQ (view.getStatusLine(), english (&plugins::zel::i18n::Table::statusNoSignal));
}

TEST_F (SpectrumViewTest, RepaintsOnlyTheStatusLineWhenOnlyItsTextChanges)
{
    publish (DisplayFrame::StatusNothingToCut);
    view.poll();
    const auto repaints = view.getFullRepaintCount();
    now += 1500;
    view.poll();
    EXPECT_EQ (view.getStatusIndex(), SpectrumStatus::NoSignal);
    EXPECT_EQ (view.getFullRepaintCount(), repaints);
}

TEST (SpectrumViewOnTheEngine, RebuildsForEveryPublicationAndNothingBetween)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    plugins::zel::CarveEngine engine;
    engine.prepare (48000.0, 512);
    SpectrumView view ([&engine] (DisplayFrame& out) { engine.readDisplayFrame (out); },
                       plugins::zel::ui::productTheme());
    view.setSize (652, 190);
    const auto rebuilds = view.getPlot().getRebuildCount();

    std::vector<float> left (512, 0.0f), right (512, 0.0f);
    float* main[] = { left.data(), right.data() };
    engine.process (main, 2, nullptr, 0, 512); // the first block after prepare always publishes
    view.poll();
    EXPECT_EQ (view.getPlot().getRebuildCount(), rebuilds + 1);
    EXPECT_NE (view.getFrame().status & DisplayFrame::StatusNoSidechainBus, 0);
    view.poll();
    EXPECT_EQ (view.getPlot().getRebuildCount(), rebuilds + 1);
}

TEST_F (SpectrumViewTest, SpeaksTheLanguageOfTheTableItIsGiven)
{
    view.setTexts (plugins::zel::i18n::tableFor (1));
    EXPECT_EQ (view.getStatusLine(), juce::String::fromUTF8 (plugins::zel::i18n::tableFor (1).statusListening));
}

TEST_F (SpectrumViewTest, ReadsOutUnderThePointerAndClearsWhenItLeaves)
{
    publish (0, -23.5f);
    view.poll();
    const auto x = view.getPlot().xForFrequency (1000.0f);
    hover (x, 80.0f);
    EXPECT_TRUE (view.getHoverText().startsWith ("1.0 kHz")) << view.getHoverText();
    EXPECT_TRUE (view.getHoverText().contains ("sc -23.5 dB")) << view.getHoverText();
    EXPECT_EQ (view.getStatusLine(), view.getHoverText());
    EXPECT_TRUE (view.getChipText().startsWith ("1.0 kHz"));

    hover (10.0f, 80.0f); // left of the plot, over the level labels
    EXPECT_TRUE (view.getHoverText().isEmpty());
    EXPECT_EQ (view.getStatusLine(), english (&plugins::zel::i18n::Table::statusListening));
}

TEST_F (SpectrumViewTest, CountsThePlotsRightAndBottomEdgesAsOutside)
{
    hover (636.0f, 80.0f);
    EXPECT_TRUE (view.getHoverText().isEmpty());
    hover (635.0f, 141.0f);
    EXPECT_FALSE (view.getHoverText().isEmpty());
    hover (635.0f, 142.0f);
    EXPECT_TRUE (view.getHoverText().isEmpty());
}

TEST_F (SpectrumViewTest, KeepsTheChipInsideThePlotAtItsRightEdge)
{
    hover (635.0f, 80.0f);
    const auto chip = view.getChipBounds();
    EXPECT_LT (chip.getRight(), 635.0f);
    EXPECT_LE (chip.getRight(), 636.0f - 2.0f);
    EXPECT_GE (chip.getX(), 46.0f);
}

TEST_F (SpectrumViewTest, TheSamePointerPositionRepaintsNothing)
{
    hover (300.0f, 80.0f);
    const auto repaints = view.getFullRepaintCount();
    hover (300.0f, 80.0f);
    EXPECT_EQ (view.getFullRepaintCount(), repaints);
    hover (300.0f, 81.0f);
    EXPECT_EQ (view.getFullRepaintCount(), repaints + 1);
}

TEST_F (SpectrumViewTest, HelpReplacesTheStatusLineButNotTheReadoutUnlessTooltipsAreOn)
{
    view.setHelp ("knob help", false);
    EXPECT_EQ (view.getStatusLine(), "knob help");
    hover (300.0f, 80.0f);
    EXPECT_EQ (view.getStatusLine(), view.getHoverText());
    view.setHelp ("spectrum help", true);
    EXPECT_EQ (view.getStatusLine(), "spectrum help");
}

} // namespace
} // namespace vo::test
