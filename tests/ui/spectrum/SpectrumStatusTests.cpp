// Which status line shows: the precedence of the bits and the 1.5-second
// wait before a silent sidechain is reported, on a clock the test drives.

#include "plugin/ui/spectrum/SpectrumStatus.h"

#include <gtest/gtest.h>

namespace vo::test
{
namespace
{

using plugins::zel::DisplayFrame;
using plugins::zel::ui::SpectrumStatus;

class SpectrumStatusTest : public ::testing::Test
{
protected:
    std::uint32_t now = 10000;
    SpectrumStatus status { [this] { return now; } };
};

constexpr std::uint8_t kQuiet = DisplayFrame::StatusNothingToCut;

TEST_F (SpectrumStatusTest, ListensWhenNoBitIsSet)
{
    status.noteFrame (0);
    EXPECT_EQ (status.currentIndex(), SpectrumStatus::Listening);
}

TEST_F (SpectrumStatusTest, AuditionBeatsFrozenBeatsQuietBeatsNoBus)
{
    status.noteFrame (kQuiet);
    now += 2000;
    status.noteFrame (DisplayFrame::StatusAuditioning | DisplayFrame::StatusFrozen | kQuiet | DisplayFrame::StatusNoSidechainBus);
    EXPECT_EQ (status.currentIndex(), SpectrumStatus::Auditioning);
    status.noteFrame (DisplayFrame::StatusFrozen | kQuiet | DisplayFrame::StatusNoSidechainBus);
    EXPECT_EQ (status.currentIndex(), SpectrumStatus::Frozen);
    status.noteFrame (kQuiet | DisplayFrame::StatusNoSidechainBus);
    EXPECT_EQ (status.currentIndex(), SpectrumStatus::NoSignal);
    status.noteFrame (DisplayFrame::StatusNoSidechainBus);
    EXPECT_EQ (status.currentIndex(), SpectrumStatus::NoBus);
}

TEST_F (SpectrumStatusTest, NoBusAndAuditionTogetherShowTheAudition)
{
    status.noteFrame (DisplayFrame::StatusNoSidechainBus | DisplayFrame::StatusAuditioning);
    EXPECT_EQ (status.currentIndex(), SpectrumStatus::Auditioning);
}

TEST_F (SpectrumStatusTest, ReportsSilenceOnlyAfterOneAndAHalfSeconds)
{
    status.noteFrame (kQuiet | DisplayFrame::StatusNoSidechainBus);
    EXPECT_EQ (status.getQuietSince(), 10000u);
    now += 1499;
    status.noteFrame (kQuiet | DisplayFrame::StatusNoSidechainBus);
    EXPECT_EQ (status.currentIndex(), SpectrumStatus::NoBus);
    now += 1;
    EXPECT_EQ (status.currentIndex(), SpectrumStatus::NoSignal);
}

TEST_F (SpectrumStatusTest, OneFrameWithSoundRestartsTheWait)
{
    status.noteFrame (kQuiet);
    now += 1400;
    status.noteFrame (0);
    EXPECT_EQ (status.getQuietSince(), 0u);
    status.noteFrame (kQuiet);
    now += 1400;
    EXPECT_EQ (status.currentIndex(), SpectrumStatus::Listening);
    now += 100;
    EXPECT_EQ (status.currentIndex(), SpectrumStatus::NoSignal);
}

TEST_F (SpectrumStatusTest, ACounterAtZeroStillStartsTheWait)
{
    now = 0;
    status.noteFrame (kQuiet);
    EXPECT_EQ (status.getQuietSince(), 1u);
    now = 1501;
    EXPECT_EQ (status.currentIndex(), SpectrumStatus::NoSignal);
}

TEST_F (SpectrumStatusTest, WaitsAcrossTheCounterWrappingAround)
{
    now = 0xffffff00u;
    status.noteFrame (kQuiet);
    now += 1600; // wraps
    EXPECT_EQ (status.currentIndex(), SpectrumStatus::NoSignal);
}

} // namespace
} // namespace vo::test
