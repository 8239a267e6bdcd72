#include "cut/OverlapCompensator.h"
#include "reference/EngineProbe.h"

#include "engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>
#include <limits>

namespace vo::test
{
using namespace vo::plugins::zel;
namespace
{

// The Gauss-Seidel pass written out plainly, skipping flat neighbours: each
// band's wanted cut less its neighbours' shares one after the other, the ones
// above first (nearest first), then the ones below from the lowest, so that
// the band this pass has just set comes last. The pass the compensator must
// reproduce bit for bit.
bool plainPass (const OverlapCompensator& overlap, const std::array<float, kBandCount>& wanted, std::array<float, kBandCount>& gains)
{
    constexpr int kReach = OverlapCompensator::kReach;
    bool notConverged = false;

    for (int i = 0; i < kBandCount; ++i)
    {
        const float c = wanted[(size_t) i];
        float& gain = gains[(size_t) i];

        if (c == 0.0f)
        {
            if (gain != 0.0f)
                notConverged = true;
            gain = 0.0f;
            continue;
        }

        const auto contribution = [&] (int n)
        {
            const float depth = std::clamp (-gains[(size_t) n], 0.0f, kMaxCutDb);
            const int q = (int) depth;
            const float fraction = depth - (float) q;
            const float lower = overlap.response (n, i - n + kReach, q);
            const float upper = q + 1 < OverlapCompensator::kDepthSteps ? overlap.response (n, i - n + kReach, q + 1) : lower;
            return lower + (upper - lower) * fraction;
        };

        float rest = c;
        for (int n = i + 1; n <= std::min (kBandCount - 1, i + kReach); ++n)
            if (gains[(size_t) n] != 0.0f)
                rest -= contribution (n);
        for (int n = std::max (0, i - kReach); n < i; ++n)
            if (gains[(size_t) n] != 0.0f)
                rest -= contribution (n);

        const float g = std::clamp (rest, -kMaxCutDb, 0.0f);
        if (std::abs (g - gain) > 0.01f)
            notConverged = true;
        gain = g;
    }

    return notConverged;
}

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

TEST (OverlapCompensatorPasses, EveryPassGivesThePlainPassBits)
{
    std::mt19937 rng (17);
    const auto pick = [&rng] (int low, int high) { return std::uniform_int_distribution<int> (low, high) (rng); };
    std::uniform_real_distribution<float> depth (-kMaxCutDb, 0.0f);

    for (double rate : { 44100.0, 48000.0, 96000.0 })
    {
        OverlapCompensator overlap;
        overlap.prepare (rate);

        for (int trial = 0; trial < 400; ++trial)
        {
            std::array<float, kBandCount> wanted {}, gains {};
            for (int b = 0; b < kBandCount; ++b)
            {
                const int kind = pick (0, 9);
                wanted[(size_t) b] = kind == 0 ? 0.0f : kind == 1 ? -kMaxCutDb : kind == 2 ? -1e-3f : depth (rng);
                const int gainKind = pick (0, 9);
                gains[(size_t) b] = gainKind == 0 ? 0.0f : gainKind == 1 ? -kMaxCutDb : gainKind == 2 ? -0.0f : depth (rng);
            }

            for (auto kernel : availableKernels())
            {
                auto plain = gains, passed = gains;
                for (int pass = 0; pass < 4; ++pass)
                {
                    const bool expected = plainPass (overlap, wanted, plain);
                    const bool result = overlap.compensate (kernelsFor (kernel), wanted, passed);
                    const auto where = ::testing::Message() << nameOfKernel (kernel) << ", trial " << trial << ", pass " << pass;
                    ASSERT_EQ (expected, result) << where;
                    ASSERT_EQ (0, std::memcmp (plain.data(), passed.data(), sizeof (float) * plain.size())) << where;
                }
            }
        }
    }
}

// Gains and wanted cuts of every awkward kind: signed zeros, whole dB steps and
// their neighbours (where the interpolation changes rows), tiny and subnormal
// values, depths beyond the table and boosts above 0 dB.
float awkwardDb (std::mt19937& rng)
{
    const auto pick = [&rng] (int low, int high) { return std::uniform_int_distribution<int> (low, high) (rng); };
    const float step = (float) -pick (0, (int) kMaxCutDb);

    switch (pick (0, 13))
    {
        case 0:  return 0.0f;
        case 1:  return -0.0f;
        case 2:  return step;
        case 3:  return std::nextafter (step, -100.0f);
        case 4:  return std::nextafter (step, 100.0f);
        case 5:  return -kMaxCutDb;
        case 6:  return std::uniform_real_distribution<float> (-200.0f, -kMaxCutDb) (rng);
        case 7:  return std::uniform_real_distribution<float> (0.0f, 12.0f) (rng);
        case 8:  return pick (0, 1) == 0 ? -1e-7f : -1e-40f;
        case 9:  return pick (0, 1) == 0 ? 1e-7f : 1e-40f;
        case 10: return std::uniform_real_distribution<float> (-60.0f, 10.0f) (rng);
        default: return std::uniform_real_distribution<float> (-kMaxCutDb, 0.0f) (rng);
    }
}

void expectPlainPassBits (const OverlapCompensator& overlap, BellKernel kernel, std::mt19937& rng, double rate, int trials)
{
    const auto pick = [&rng] (int low, int high) { return std::uniform_int_distribution<int> (low, high) (rng); };
    std::uniform_real_distribution<float> nudge (-1.5f, 1.5f);

    for (int trial = 0; trial < trials; ++trial)
    {
        // Dense, sparse (a few cuts among flat bands) or clustered patterns.
        const int pattern = pick (0, 3);
        const int low = pick (0, kBandCount - 1), high = pick (low, kBandCount - 1);
        std::array<float, kBandCount> wanted {}, gains {};
        for (int b = 0; b < kBandCount; ++b)
        {
            const bool active = pattern == 0 || (pattern == 1 && pick (0, 5) == 0) || (pattern == 2 && b >= low && b <= high)
                             || (pattern == 3 && b % 2 == 0);
            wanted[(size_t) b] = active ? awkwardDb (rng) : (pick (0, 1) == 0 ? 0.0f : -0.0f);
            gains[(size_t) b] = pick (0, 3) == 0 ? 0.0f : awkwardDb (rng);
        }

        // A chain of passes, the wanted cut sometimes moving between them so
        // that the gains cross steps in both directions.
        auto plain = gains;
        for (int pass = 0; pass < 12; ++pass)
        {
            const bool expected = plainPass (overlap, wanted, plain);
            const bool result = overlap.compensate (kernelsFor (kernel), wanted, gains);
            const auto where = ::testing::Message() << nameOfKernel (kernel) << ", " << rate << " Hz, trial " << trial << ", pass " << pass;
            ASSERT_EQ (expected, result) << where;
            ASSERT_EQ (0, std::memcmp (plain.data(), gains.data(), sizeof (float) * plain.size())) << where;

            if (pick (0, 2) == 0)
                for (auto& w : wanted)
                    if (w != 0.0f && pick (0, 1) == 0)
                        w = std::min (w + nudge (rng), 0.0f);
        }
    }
}

TEST (OverlapCompensatorPasses, RandomChainsOfPassesGiveThePlainPassBits)
{
    std::mt19937 rng (2024);
    for (double rate : { 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0 })
    {
        OverlapCompensator overlap;
        overlap.prepare (rate);
        for (auto kernel : availableKernels())
        {
            expectPlainPassBits (overlap, kernel, rng, rate, 700);

            const FlushedDenormals flushed;
            expectPlainPassBits (overlap, kernel, rng, rate, 300);
        }
    }
}

// Nothing upstream lets a NaN into the wanted cut; should one come, its band
// stays flat and the others come out as if it wanted no cut at all.
TEST (OverlapCompensatorPasses, ANaNInTheWantedCutLeavesItsBandFlat)
{
    OverlapCompensator overlap;
    overlap.prepare (48000.0);

    for (auto kernel : availableKernels())
    {
        for (float before : { 0.0f, -12.0f })
        {
            std::array<float, kBandCount> wanted {}, start {};
            for (int b = 8; b <= 24; ++b)
                wanted[(size_t) b] = -(float) (b % 7) * 4.0f - 1.0f;
            start.fill (before);

            auto withNaN = wanted;
            withNaN[16] = std::numeric_limits<float>::quiet_NaN();
            wanted[16] = 0.0f;

            auto expected = start, gains = start;
            for (int pass = 0; pass < 3; ++pass)
            {
                overlap.compensate (kernelsFor (kernel), wanted, expected);
                overlap.compensate (kernelsFor (kernel), withNaN, gains);
                EXPECT_EQ (gains[16], 0.0f) << nameOfKernel (kernel);
                EXPECT_EQ (0, std::memcmp (expected.data(), gains.data(), sizeof (float) * gains.size())) << nameOfKernel (kernel);
            }
        }
    }
}

} // namespace
} // namespace vo::test
