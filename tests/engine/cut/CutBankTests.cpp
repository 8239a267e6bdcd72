#include "cut/CutBank.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

namespace vo::test
{
using namespace vo::plugins::zel;
namespace
{

// A bank at 48 kHz whose tick counter stands on a boundary, so every call of
// ticks(n) runs exactly n cut updates.
class CutBankAt48k : public ::testing::Test
{
protected:
    static constexpr double kRate = 48000.0;
    static constexpr int kHop = 512;

    void SetUp() override
    {
        bank.prepareFilters (kRate);
        bank.prepareCut (kRate, kHop);
        bank.setAmount (1.0f);
        bank.setSmooth (0.0f);
        bank.setRange (20.0f, 20000.0f);
        samples.assign (32, 0.0f);
        restart();
    }

    // Reset, then bring the tick counter to its first boundary.
    void restart()
    {
        bank.reset();
        bank.processBank (samples.data(), nullptr, 1, 32, true);
    }

    void ticks (int n)
    {
        for (int i = 0; i < n; ++i)
            bank.processBank (samples.data(), nullptr, 1, 32, true);
    }

    // A new analysis with the given band levels (the rest silent), then one tick.
    void analysis (const std::map<int, float>& loud)
    {
        CutBank::Curve levels {};
        levels.fill (-100.0f);
        for (auto [band, db] : loud)
            levels[(size_t) band] = db;
        bank.setLevels (levels);
        ticks (1);
    }

    void loadSingleBand (int band, float db)
    {
        CutBank::Curve curve {};
        curve[(size_t) band] = db;
        bank.loadCutCurve (curve.data());
    }

    CutBank bank;
    std::vector<float> samples;
};

TEST_F (CutBankAt48k, TargetIsProportionalToTheDistanceFromTheLoudestBand)
{
    bank.setAttackRelease (0.0f, 0.0f);
    analysis ({ { 10, -20.0f }, { 12, -30.0f }, { 14, -50.0f } });
    EXPECT_EQ (bank.getTarget()[10], -30.0f);
    EXPECT_FLOAT_EQ (bank.getTarget()[12], -20.0f);
    EXPECT_EQ (bank.getTarget()[14], 0.0f);

    ticks (200);
    EXPECT_EQ (bank.getFollowed()[10], -30.0f);
    EXPECT_FLOAT_EQ (bank.getFollowed()[12], -20.0f);
    EXPECT_EQ (bank.getFollowed()[14], 0.0f);
}

TEST_F (CutBankAt48k, GateOpensBetweenMinus60AndMinus36Db)
{
    analysis ({ { 10, -48.0f } });
    EXPECT_FLOAT_EQ (bank.getTarget()[10], -15.0f);

    restart();
    analysis ({ { 10, -60.0f } });
    EXPECT_EQ (bank.getTarget()[10], 0.0f);
    EXPECT_FALSE (bank.isSilentAndFlat());

    restart();
    analysis ({ { 10, -60.5f } });
    EXPECT_EQ (bank.getTarget()[10], 0.0f);
    EXPECT_TRUE (bank.isSilentAndFlat());
}

TEST_F (CutBankAt48k, ReferenceFallsAt40DbPerSecondUntilItMeetsTheNewPeak)
{
    const float perHop = kHop * 40.0f / (float) kRate;
    analysis ({ { 10, 0.0f } });
    EXPECT_EQ (bank.getReference(), 0.0f);

    for (int hop = 1; hop <= 10; ++hop)
        analysis ({ { 10, -20.0f } });
    EXPECT_NEAR (bank.getReference(), -10.0f * perHop, 1e-4f);
    const float t = (-20.0f - bank.getReference()) / 30.0f + 1.0f;
    EXPECT_FLOAT_EQ (bank.getTarget()[10], -30.0f * t);

    for (int hop = 0; hop < 50; ++hop)
        analysis ({ { 10, -20.0f } });
    EXPECT_EQ (bank.getReference(), -20.0f);
    EXPECT_EQ (bank.getTarget()[10], -30.0f);
}

TEST_F (CutBankAt48k, ChangingTheBandRangeResetsTheReferenceAtTheNextAnalysis)
{
    analysis ({ { 20, 0.0f } });
    analysis ({ { 20, -20.0f } });
    EXPECT_GT (bank.getReference(), -1.0f);

    bank.setRange (100.0f, 20000.0f);
    EXPECT_EQ (bank.getBandLow(), 7);
    analysis ({ { 20, -20.0f } });
    EXPECT_EQ (bank.getReference(), -20.0f);
}

TEST_F (CutBankAt48k, EmptyRangeCutsNothing)
{
    bank.setRange (18000.0f, 20000.0f);
    EXPECT_GT (bank.getBandLow(), bank.getBandHigh());
    analysis ({ { 31, 0.0f }, { 18, 0.0f } });
    for (float t : bank.getTarget())
        EXPECT_EQ (t, 0.0f);
    EXPECT_TRUE (bank.isSilentAndFlat());
}

TEST_F (CutBankAt48k, AttackAndReleaseAreOnePoleTimeConstantsPerTick)
{
    bank.setAttackRelease (10.0f, 150.0f);
    analysis ({ { 10, -20.0f } });
    ticks (14); // one time constant: 10 ms at 1500 ticks per second
    EXPECT_NEAR (bank.getHeld()[10], -30.0f * (1.0f - std::exp (-1.0f)), 0.05f);

    ticks (300);
    EXPECT_NEAR (bank.getHeld()[10], -30.0f, 0.01f);
    const float start = bank.getHeld()[10];
    analysis ({});
    ticks (224); // 150 ms
    EXPECT_NEAR (bank.getHeld()[10], start * std::exp (-1.0f), 0.05f);
}

TEST_F (CutBankAt48k, SilentSourceReleasesToExactlyFlatAndNothingToCut)
{
    bank.setAttackRelease (10.0f, 150.0f);
    analysis ({ { 18, -10.0f } });
    ticks (200);
    EXPECT_FALSE (bank.isSilentAndFlat());

    analysis ({});
    ticks (8000);
    for (float h : bank.getHeld())
        EXPECT_EQ (h, 0.0f);
    EXPECT_TRUE (bank.isFlat());
    EXPECT_TRUE (bank.isSilentAndFlat());
}

TEST_F (CutBankAt48k, FullSmoothSpreadsALoneCutLinearlyOverFourNeighbours)
{
    bank.setFrozen (true);
    bank.setSmooth (1.0f);
    loadSingleBand (16, -30.0f);
    ticks (200);
    const float expected[] = { -6.0f, -12.0f, -18.0f, -24.0f, -30.0f, -24.0f, -18.0f, -12.0f, -6.0f };
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR (bank.getFollowed()[(size_t) (12 + i)], expected[i], 1e-4f) << "band " << 12 + i;
    EXPECT_EQ (bank.getFollowed()[11], 0.0f);
    EXPECT_EQ (bank.getFollowed()[21], 0.0f);
}

TEST_F (CutBankAt48k, DefaultSmoothReachesOnlyTwoNeighbours)
{
    bank.setFrozen (true);
    bank.setSmooth (0.3f);
    loadSingleBand (16, -30.0f);
    ticks (200);
    EXPECT_NEAR (bank.getFollowed()[15], -30.0f * (1.0f - 1.0f / 2.2f), 1e-4f);
    EXPECT_NEAR (bank.getFollowed()[14], -30.0f * (1.0f - 2.0f / 2.2f), 1e-4f);
    EXPECT_EQ (bank.getFollowed()[13], 0.0f);
    EXPECT_NEAR (bank.getFollowed()[17], bank.getFollowed()[15], 1e-6f);
}

TEST_F (CutBankAt48k, SpreadingTakesTheDeepestCutInsteadOfAddingThem)
{
    bank.setFrozen (true);
    bank.setSmooth (1.0f);
    CutBank::Curve curve {};
    curve[15] = -30.0f;
    curve[17] = -30.0f;
    bank.loadCutCurve (curve.data());
    ticks (200);
    EXPECT_NEAR (bank.getFollowed()[16], -24.0f, 1e-4f);
}

TEST_F (CutBankAt48k, PlateauCutSettlesAtCompensatedGains)
{
    bank.setFrozen (true);
    CutBank::Curve curve {};
    for (int b = 10; b <= 26; ++b)
        curve[(size_t) b] = -30.0f;
    bank.loadCutCurve (curve.data());
    ticks (200);
    EXPECT_NEAR (bank.getGains()[18], -16.8f, 0.4f);
    EXPECT_NEAR (bank.getGains()[10], -23.5f, 0.4f);
    EXPECT_NEAR (bank.getGains()[26], -23.5f, 0.4f);
}

TEST_F (CutBankAt48k, AmountZeroFollowsToExactlyFlatInAboutSixtyTicks)
{
    bank.setFrozen (true);
    loadSingleBand (16, -30.0f);
    ticks (200);
    ASSERT_EQ (bank.getFollowed()[16], -30.0f);

    bank.setAmount (0.0f);
    int n = 0;
    while (bank.getFollowed()[16] != 0.0f && n < 1000)
    {
        ticks (1);
        ++n;
    }
    EXPECT_GE (n, 55);
    EXPECT_LE (n, 65);

    ticks (3);
    for (float g : bank.getGains())
        EXPECT_EQ (g, 0.0f);
    EXPECT_TRUE (bank.isFlat());
    // The held cut stays for when amount comes back.
    EXPECT_EQ (bank.getHeld()[16], -30.0f);
}

TEST_F (CutBankAt48k, PanHalfGivesSetAHalfTheCutInDb)
{
    bank.setFrozen (true);
    loadSingleBand (16, -12.0f);
    bank.setPanAndMode (0.5f, 0);
    ticks (300);
    const float g = bank.getGains()[16];
    ASSERT_LT (g, -6.0f);
    EXPECT_FLOAT_EQ (bank.getAmplitudes()[0][16], std::pow (10.0f, g * 0.5f / 40.0f));
    EXPECT_FLOAT_EQ (bank.getAmplitudes()[1][16], std::pow (10.0f, g / 40.0f));

    bank.setPanAndMode (-1.0f, 0);
    ticks (300);
    for (float a : bank.getAmplitudes()[1])
        EXPECT_EQ (a, 1.0f);
    EXPECT_FLOAT_EQ (bank.getAmplitudes()[0][16], std::pow (10.0f, g / 40.0f));
}

TEST_F (CutBankAt48k, ModeChangeWithoutCutTakesEffectAtOnce)
{
    bank.setPanAndMode (0.0f, 1);
    EXPECT_EQ (bank.getActiveMode(), 1);
    EXPECT_FALSE (bank.isModePending());
}

TEST_F (CutBankAt48k, ModeChangeWithCutFadesOutSwitchesAndFadesBackIn)
{
    bank.setFrozen (true);
    loadSingleBand (16, -20.0f);
    ticks (200);

    bank.setPanAndMode (0.0f, 1);
    EXPECT_TRUE (bank.isModePending());
    EXPECT_EQ (bank.getActiveMode(), 0);

    float previous = bank.getWeight (0);
    int n = 0;
    while (bank.getActiveMode() == 0 && n < 500)
    {
        ticks (1);
        ++n;
        EXPECT_LE (std::abs (bank.getWeight (0) - previous), 0.13f) << "weight jumped at tick " << n;
        previous = bank.getWeight (0);
    }
    ASSERT_EQ (bank.getActiveMode(), 1);
    EXPECT_EQ (bank.getWeight (0), 0.0f);
    EXPECT_GT (n, 20);

    ticks (300);
    EXPECT_EQ (bank.getWeight (0), 1.0f);
    EXPECT_EQ (bank.getWeight (1), 1.0f);
    EXPECT_LT (bank.getAmplitudes()[0][16], 0.5f);
}

TEST_F (CutBankAt48k, FreezeHoldsTheCutWhileTheSourceIsSilentButAmountStillScalesIt)
{
    bank.setAttackRelease (10.0f, 150.0f);
    analysis ({ { 16, -10.0f } });
    ticks (300);
    const auto held = bank.getHeld();
    ASSERT_LT (held[16], -29.0f);

    bank.setFrozen (true);
    analysis ({});
    ticks (3000);
    EXPECT_EQ (bank.getHeld(), held);
    EXPECT_EQ (bank.getFollowed()[16], held[16]);

    bank.setAmount (0.5f);
    ticks (200);
    EXPECT_FLOAT_EQ (bank.getFollowed()[16], 0.5f * held[16]);
}

TEST_F (CutBankAt48k, LoadedCurveIsClampedAndNanBecomesFlat)
{
    CutBank::Curve curve {};
    curve[0] = -45.0f;
    curve[1] = 6.0f;
    curve[2] = std::nanf ("");
    curve[3] = -7.5f;
    bank.loadCutCurve (curve.data());
    EXPECT_EQ (bank.getHeld()[0], -30.0f);
    EXPECT_EQ (bank.getHeld()[1], 0.0f);
    EXPECT_EQ (bank.getHeld()[2], 0.0f);
    EXPECT_EQ (bank.getHeld()[3], -7.5f);
}

} // namespace
} // namespace vo::test
