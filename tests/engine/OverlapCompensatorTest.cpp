#include "OverlapCompensator.h"

#include <gtest/gtest.h>

namespace vo::plugins::zel
{
namespace
{

class OverlapAt48k : public ::testing::Test
{
protected:
    void SetUp() override { overlap.prepare (48000.0); }

    // The response of a bell on band 18 at -depth dB, `distance` bands away.
    float at (int distance, int depth) const { return overlap.response (18, OverlapCompensator::kReach + distance, depth); }

    OverlapCompensator overlap;
};

TEST_F (OverlapAt48k, ThirtyDbBellReadsTheQuotedValuesAtItsNeighbours)
{
    const float quoted[] = { -9.4f, -4.5f, -2.5f, -1.4f };
    for (int d = 1; d <= 4; ++d)
    {
        EXPECT_NEAR (at (d, 30), quoted[d - 1], 0.06f) << d;
        EXPECT_NEAR (at (-d, 30), quoted[d - 1], 0.06f) << -d;
    }
}

TEST_F (OverlapAt48k, TenDbBellReadsTheQuotedValuesAtItsNeighbours)
{
    const float quoted[] = { -2.2f, -0.66f, -0.29f, -0.15f };
    const float tolerance[] = { 0.05f, 0.01f, 0.01f, 0.01f };
    for (int d = 1; d <= 4; ++d)
    {
        EXPECT_NEAR (at (d, 10), quoted[d - 1], tolerance[d - 1]) << d;
        EXPECT_NEAR (at (-d, 10), quoted[d - 1], tolerance[d - 1]) << -d;
    }
}

TEST_F (OverlapAt48k, OwnCentreTakesTheFullDepthAndZeroDepthIsFlat)
{
    for (int l = 0; l <= 30; ++l)
        EXPECT_NEAR (at (0, l), (float) -l, 1e-4f);
    for (int d = -4; d <= 4; ++d)
        EXPECT_EQ (at (d, 0), 0.0f);
}

TEST_F (OverlapAt48k, NeighboursOutsideTheBandsContributeNothing)
{
    for (int slot = 0; slot < OverlapCompensator::kReach; ++slot)
        EXPECT_EQ (overlap.response (0, slot, 30), 0.0f);
    for (int slot = OverlapCompensator::kReach + 1; slot < OverlapCompensator::kSlots; ++slot)
        EXPECT_EQ (overlap.response (31, slot, 30), 0.0f);
}

TEST_F (OverlapAt48k, ThirtyDbPlateauSettlesWithinNinePasses)
{
    std::array<float, kBandCount> wanted {}, gains {};
    for (int b = 10; b <= 26; ++b)
        wanted[(size_t) b] = -30.0f;

    int passes = 0;
    while (overlap.compensate (wanted, gains) && passes < 50)
        ++passes;
    ++passes; // the last pass, which found nothing left to move

    EXPECT_LE (passes, 9);
    for (int b = 12; b <= 24; ++b)
        EXPECT_NEAR (gains[(size_t) b], -16.8f, 0.5f) << "band " << b;
    EXPECT_NEAR (gains[11], -16.8f, 1.0f);
    EXPECT_NEAR (gains[25], -16.8f, 1.0f);
    EXPECT_NEAR (gains[10], -23.5f, 0.4f);
    EXPECT_NEAR (gains[26], -23.5f, 0.4f);
    for (int b : { 0, 9, 27, 31 })
        EXPECT_EQ (gains[(size_t) b], 0.0f);
}

TEST_F (OverlapAt48k, CompensatedBellsCombineToTheWantedCutAtEachCentre)
{
    std::array<float, kBandCount> wanted {}, gains {};
    for (int b = 12; b <= 20; ++b)
        wanted[(size_t) b] = -12.0f;
    for (int i = 0; i < 40; ++i)
        overlap.compensate (wanted, gains);

    for (int b = 13; b <= 19; ++b)
    {
        double total = 0.0;
        for (int n = 0; n < kBandCount; ++n)
            total += bandResponseDb (48000.0, bellCentreHz (n, 48000.0), gains[(size_t) n], bandCentreHz (b));
        EXPECT_NEAR (total, -12.0, 0.3) << "band " << b;
    }
}

TEST_F (OverlapAt48k, ClearingTheWantedCutReportsOneMorePass)
{
    std::array<float, kBandCount> wanted {}, gains {};
    wanted[18] = -10.0f;
    while (overlap.compensate (wanted, gains)) {}
    wanted[18] = 0.0f;
    EXPECT_TRUE (overlap.compensate (wanted, gains));
    EXPECT_EQ (gains[18], 0.0f);
    EXPECT_FALSE (overlap.compensate (wanted, gains));
}

} // namespace
} // namespace vo::plugins::zel
