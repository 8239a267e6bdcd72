#include "SidechainAnalyser.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>

namespace vo::plugins::zel
{
namespace
{

std::set<int> emptyBands (const SidechainAnalyser& a)
{
    std::set<int> empty;
    for (int b = 0; b < kBandCount; ++b)
        if (a.getBinCount (b) == 0)
            empty.insert (b);
    return empty;
}

void push (SidechainAnalyser& a, const std::vector<float>& x0, const std::vector<float>* x1 = nullptr)
{
    for (size_t i = 0; i < x0.size(); ++i)
        a.pushSample (x0[i], x1 != nullptr ? (*x1)[i] : 0.0f);
}

std::vector<float> sine (double freq, double rate, int n, float amp = 1.0f)
{
    std::vector<float> x ((size_t) n);
    test::fillSine (x.data(), n, freq, rate, amp);
    return x;
}

TEST (BandMap, At48kHzBand0HoldsOnlyBin1AndFourBandsAreEmpty)
{
    SidechainAnalyser a;
    a.prepare (48000.0);
    EXPECT_EQ (a.getFftSize(), 2048);
    EXPECT_EQ (a.getHop(), 512);
    EXPECT_EQ (a.getFirstBin (0), 1);
    EXPECT_EQ (a.getBinCount (0), 1);
    EXPECT_EQ (emptyBands (a), (std::set<int> { 1, 2, 4, 6 }));
}

TEST (BandMap, At96And192kHzTheMapEqualsThe48kHzMap)
{
    SidechainAnalyser ref, a;
    ref.prepare (48000.0);
    for (auto [rate, size] : { std::pair { 96000.0, 4096 }, std::pair { 192000.0, 8192 } })
    {
        a.prepare (rate);
        EXPECT_EQ (a.getFftSize(), size);
        EXPECT_EQ (a.getHop(), size / 4);
        for (int b = 0; b < kBandCount; ++b)
        {
            EXPECT_EQ (a.getFirstBin (b), ref.getFirstBin (b)) << rate << " band " << b;
            EXPECT_EQ (a.getBinCount (b), ref.getBinCount (b)) << rate << " band " << b;
        }
    }
}

TEST (BandMap, At44kHzBands124AreEmpty)
{
    SidechainAnalyser a;
    a.prepare (44100.0);
    EXPECT_EQ (a.getFftSize(), 2048);
    EXPECT_EQ (emptyBands (a), (std::set<int> { 1, 2, 4 }));
}

TEST (BandMap, At22kHzTheTopTwoBandsAreEmpty)
{
    SidechainAnalyser a;
    a.prepare (22050.0);
    EXPECT_EQ (a.getFftSize(), 2048);
    EXPECT_TRUE (emptyBands (a).contains (30));
    EXPECT_TRUE (emptyBands (a).contains (31));
    EXPECT_FALSE (emptyBands (a).contains (29));
}

TEST (BandMap, BinsAreContiguousAndExcludeDcAndNyquist)
{
    for (double rate : { 22050.0, 44100.0, 48000.0, 96000.0, 192000.0 })
    {
        SidechainAnalyser a;
        a.prepare (rate);
        int next = 0;
        for (int b = 0; b < kBandCount; ++b)
        {
            if (a.getBinCount (b) == 0)
                continue;
            EXPECT_GE (a.getFirstBin (b), std::max (1, next));
            next = a.getFirstBin (b) + a.getBinCount (b);
        }
        EXPECT_LE (next, a.getFftSize() / 2); // the Nyquist bin itself is never used
    }
}

TEST (BandLevels, EmptyBandsLieOnTheLineBetweenTheirNeighbours)
{
    SidechainAnalyser a;
    a.prepare (48000.0);
    std::vector<float> noise (4096);
    test::fillNoise (noise.data(), (int) noise.size(), 0.5f, 7);
    push (a, noise);

    const auto& l = a.getLevels();
    EXPECT_FLOAT_EQ (l[1], l[0] + (l[3] - l[0]) * 1.0f / 3.0f);
    EXPECT_FLOAT_EQ (l[2], l[0] + (l[3] - l[0]) * 2.0f / 3.0f);
    EXPECT_FLOAT_EQ (l[4], l[3] + (l[5] - l[3]) * 0.5f);
    EXPECT_FLOAT_EQ (l[6], l[5] + (l[7] - l[5]) * 0.5f);
}

TEST (BandLevels, At22kHzTheTopBandsTakeTheLevelOfBand29)
{
    SidechainAnalyser a;
    a.prepare (22050.0);
    std::vector<float> noise (4096);
    test::fillNoise (noise.data(), (int) noise.size(), 0.5f, 9);
    push (a, noise);
    EXPECT_EQ (a.getLevels()[30], a.getLevels()[29]);
    EXPECT_EQ (a.getLevels()[31], a.getLevels()[29]);
}

TEST (BandLevels, FirstAnalysisHappensOneHopAfterReset)
{
    SidechainAnalyser a;
    a.prepare (48000.0);
    for (int i = 1; i < 512; ++i)
        ASSERT_FALSE (a.pushSample (0.1f, 0.0f));
    EXPECT_TRUE (a.pushSample (0.1f, 0.0f));
}

TEST (BandLevels, FullScaleSineReadsZeroDbInItsBand)
{
    for (double rate : { 44100.0, 48000.0, 96000.0 })
    {
        SidechainAnalyser a;
        a.prepare (rate);
        push (a, sine (1000.0, rate, a.getFftSize()));
        EXPECT_NEAR (a.getLevels()[18], 0.0f, 0.2f) << rate;
        EXPECT_LT (a.getLevels()[14], -40.0f);
    }
}

TEST (BandLevels, StereoSineReadsZeroDbOnBothAndMinus3OnOne)
{
    SidechainAnalyser a;
    a.prepare (48000.0);
    a.setStereo (true);
    const auto s = sine (1000.0, 48000.0, 2048);
    push (a, s, &s);
    EXPECT_NEAR (a.getLevels()[18], 0.0f, 0.1f);

    const std::vector<float> silence (2048, 0.0f);
    a.reset();
    a.setStereo (true);
    push (a, s, &silence);
    EXPECT_NEAR (a.getLevels()[18], -3.01f, 0.1f);

    a.reset();
    a.setStereo (true);
    push (a, silence, &s);
    EXPECT_NEAR (a.getLevels()[18], -3.01f, 0.1f);
}

TEST (BandLevels, SilenceReadsExactlyMinus100)
{
    SidechainAnalyser a;
    a.prepare (48000.0);
    push (a, std::vector<float> (2048, 0.0f));
    for (float l : a.getLevels())
        EXPECT_EQ (l, -100.0f);
}

TEST (BandLevels, DcOffsetDoesNotRaiseTheLowBands)
{
    SidechainAnalyser a;
    a.prepare (48000.0);
    push (a, std::vector<float> (48000, 0.5f));
    for (int b = 0; b < 8; ++b)
        EXPECT_LT (a.getLevels()[(size_t) b], -80.0f) << "band " << b;
}

TEST (BandLevels, NanInTheSourceNeverReachesTheLevels)
{
    SidechainAnalyser a;
    a.prepare (48000.0);
    std::vector<float> x (4096, 0.0f);
    x[1000] = std::numeric_limits<float>::quiet_NaN();
    x[1500] = std::numeric_limits<float>::infinity();
    push (a, x);
    // The blocker restarts from rest and the ring holds 0 there: pure silence.
    for (float l : a.getLevels())
        EXPECT_EQ (l, -100.0f);

    auto s = sine (1000.0, 48000.0, 2048);
    s[100] = std::numeric_limits<float>::quiet_NaN();
    push (a, s);
    for (float l : a.getLevels())
        EXPECT_TRUE (std::isfinite (l));
}

// Blocks of any length give the levels that sample-by-sample pushing gives,
// bit for bit, runaway and NaN samples included.
TEST (BandLevels, BlocksGiveTheSampleBySampleBits)
{
    std::mt19937 rng (23);
    const auto pick = [&rng] (int low, int high) { return std::uniform_int_distribution<int> (low, high) (rng); };
    std::uniform_real_distribution<float> unit (-1.0f, 1.0f);

    for (bool stereo : { true, false })
    {
        SidechainAnalyser byBlock, bySample;
        byBlock.prepare (48000.0);
        bySample.prepare (48000.0);
        byBlock.setStereo (stereo);
        bySample.setStereo (stereo);

        for (int block = 0; block < 300; ++block)
        {
            const int n = pick (1, 600);
            std::vector<float> x0 ((size_t) n), x1 ((size_t) n);
            for (int i = 0; i < n; ++i)
            {
                x0[(size_t) i] = unit (rng);
                x1[(size_t) i] = unit (rng);
            }
            if (pick (0, 20) == 0)
                x0[(size_t) pick (0, n - 1)] = std::numeric_limits<float>::quiet_NaN();
            if (pick (0, 20) == 0)
                x1[(size_t) pick (0, n - 1)] = 3e38f;

            const bool hop = byBlock.pushBlock (x0.data(), stereo ? x1.data() : nullptr, n);
            bool sampleHop = false;
            for (int i = 0; i < n; ++i)
                sampleHop = bySample.pushSample (x0[(size_t) i], x1[(size_t) i]) || sampleHop;

            ASSERT_EQ (sampleHop, hop) << "block " << block;
            ASSERT_EQ (0, std::memcmp (byBlock.getLevels().data(), bySample.getLevels().data(), sizeof (float) * kBandCount))
                << "block " << block;
        }
    }
}

} // namespace
} // namespace vo::plugins::zel
