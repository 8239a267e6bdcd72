#include "analysis/SidechainAnalyser.h"

#include "engine/EngineTestSupport.h"

#include <gtest/gtest.h>
#include <juce_dsp/juce_dsp.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>
#include <set>

namespace vo::test
{
using namespace vo::plugins::zel;
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
    fillSine (x.data(), n, freq, rate, amp);
    return x;
}

// An analyser prepared at 48 kHz, as most checks below start.
class AnalyserAt48k : public ::testing::Test
{
protected:
    void SetUp() override { a.prepare (48000.0); }

    SidechainAnalyser a;
};

using BandMapAt48k = AnalyserAt48k;
using BandLevelsAt48k = AnalyserAt48k;

TEST_F (BandMapAt48k, Band0HoldsOnlyBin1AndFourBandsAreEmpty)
{
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

TEST_F (BandLevelsAt48k, EmptyBandsLieOnTheLineBetweenTheirNeighbours)
{
    std::vector<float> noise (4096);
    fillNoise (noise.data(), (int) noise.size(), 0.5f, 7);
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
    fillNoise (noise.data(), (int) noise.size(), 0.5f, 9);
    push (a, noise);
    EXPECT_EQ (a.getLevels()[30], a.getLevels()[29]);
    EXPECT_EQ (a.getLevels()[31], a.getLevels()[29]);
}

TEST_F (BandLevelsAt48k, FirstAnalysisHappensOneHopAfterReset)
{
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

TEST_F (BandLevelsAt48k, StereoSineReadsZeroDbOnBothAndMinus3OnOne)
{
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

TEST_F (BandLevelsAt48k, SilenceReadsExactlyMinus100)
{
    push (a, std::vector<float> (2048, 0.0f));
    for (float l : a.getLevels())
        EXPECT_EQ (l, -100.0f);
}

TEST_F (BandLevelsAt48k, DcOffsetDoesNotRaiseTheLowBands)
{
    push (a, std::vector<float> (48000, 0.5f));
    for (int b = 0; b < 8; ++b)
        EXPECT_LT (a.getLevels()[(size_t) b], -80.0f) << "band " << b;
}

TEST_F (BandLevelsAt48k, NanInTheSourceNeverReachesTheLevels)
{
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

// The analysis written out plainly, one sample and one bin at a time: what the
// analyser must reproduce bit for bit. It takes the band map from the analyser
// under test (pinned by the BandMap tests above).
class PlainAnalyser
{
public:
    PlainAnalyser (const SidechainAnalyser& bands, double rate, bool analyseBoth)
        : map (bands), fftSize (bands.getFftSize()), hop (bands.getHop()), stereo (analyseBoth),
          fft (juce::roundToInt (std::log2 (fftSize))), coeff ((float) (1.0 - 10.0 * std::numbers::pi / rate))
    {
        const float twoPi = 2.0f * std::numbers::pi_v<float>;
        for (int i = 0; i < fftSize; ++i)
            window.push_back (0.5f - 0.5f * std::cos (twoPi * (float) i / (float) (fftSize - 1)));
        for (auto& r : ring)
            r.assign ((size_t) fftSize, 0.0f);
        levels.fill (SidechainAnalyser::kFloorDb);
    }

    bool push (float x0, float x1)
    {
        ring[0][(size_t) writePos] = block (x0, 0);
        if (stereo)
            ring[1][(size_t) writePos] = block (x1, 1);
        writePos = (writePos + 1) % fftSize;
        if (++hopCounter < hop)
            return false;
        hopCounter = 0;
        analyse();
        return true;
    }

    std::array<float, kBandCount> levels {};

private:
    float block (float x, int c)
    {
        const auto ch = (size_t) c;
        const float y = x - prevIn[ch] + coeff * prevOut[ch];
        const bool inRange = std::abs (y) <= 1e30f;
        prevIn[ch] = inRange ? x : 0.0f;
        prevOut[ch] = inRange ? y : 0.0f;
        return inRange ? y : 0.0f;
    }

    float windowed (int c, int i) const
    {
        return ring[(size_t) c][(size_t) ((writePos + i) % fftSize)] * window[(size_t) i];
    }

    void analyse()
    {
        std::array<float, kBandCount> energy {};

        if (stereo)
        {
            std::vector<std::complex<float>> in ((size_t) fftSize), out ((size_t) fftSize);
            for (int i = 0; i < fftSize; ++i)
                in[(size_t) i] = { windowed (0, i), windowed (1, i) };
            fft.perform (in.data(), out.data(), false);

            for (int b = 0; b < kBandCount; ++b)
                for (int i = map.getFirstBin (b); i < map.getFirstBin (b) + map.getBinCount (b); ++i)
                {
                    const auto zi = out[(size_t) i], zn = out[(size_t) (fftSize - i)];
                    const float a = zi.real(), bi = zi.imag(), c = zn.real(), d = zn.imag();
                    const float p = (bi - d) / 2.0f, q = (a + c) / 2.0f, r = (bi + d) / 2.0f, s = (c - a) / 2.0f;
                    energy[(size_t) b] += p * p + q * q + r * r + s * s;
                }
        }
        else
        {
            std::vector<float> data (2 * (size_t) fftSize, 0.0f);
            for (int i = 0; i < fftSize; ++i)
                data[(size_t) i] = windowed (0, i);
            fft.performRealOnlyForwardTransform (data.data(), true);

            for (int b = 0; b < kBandCount; ++b)
                for (int i = map.getFirstBin (b); i < map.getFirstBin (b) + map.getBinCount (b); ++i)
                {
                    const float m = std::hypot (data[2 * (size_t) i], data[2 * (size_t) i + 1]);
                    energy[(size_t) b] += m * m;
                }
        }

        const float scale = 16.0f / (1.5f * (float) fftSize * (float) fftSize) / (stereo ? 2.0f : 1.0f);
        std::vector<int> measured;
        for (int b = 0; b < kBandCount; ++b)
        {
            if (map.getBinCount (b) == 0)
                continue;
            measured.push_back (b);
            const float level = 10.0f * std::log10 (scale * energy[(size_t) b] + 1e-10f);
            levels[(size_t) b] = level > SidechainAnalyser::kFloorDb ? std::min (level, SidechainAnalyser::kCeilingDb)
                                                                     : SidechainAnalyser::kFloorDb;
        }

        for (int b = 0; b < kBandCount; ++b)
        {
            if (map.getBinCount (b) != 0)
                continue;
            const auto above = std::upper_bound (measured.begin(), measured.end(), b);
            if (above == measured.begin())
                levels[(size_t) b] = levels[(size_t) measured.front()];
            else if (above == measured.end())
                levels[(size_t) b] = levels[(size_t) measured.back()];
            else
            {
                const int p = *(above - 1), q = *above;
                const float lp = levels[(size_t) p], lq = levels[(size_t) q];
                levels[(size_t) b] = lp + (lq - lp) * (float) (b - p) / (float) (q - p);
            }
        }
    }

    const SidechainAnalyser& map;
    int fftSize, hop;
    bool stereo;
    juce::dsp::FFT fft;
    float coeff;
    std::vector<float> window;
    std::array<std::vector<float>, 2> ring;
    std::array<float, 2> prevIn {}, prevOut {};
    int writePos = 0, hopCounter = 0;
};

// Random signals of every scale (noise, tones, silence, DC, and now and then a
// NaN or a runaway sample) in blocks of random lengths, at the rates whose
// FFT sizes differ.
TEST (BandLevels, LevelsGiveThePlainAnalysisBitsAtEveryRate)
{
    std::mt19937 rng (31);
    const auto pick = [&rng] (int low, int high) { return std::uniform_int_distribution<int> (low, high) (rng); };
    std::uniform_real_distribution<float> unit (-1.0f, 1.0f);

    for (double rate : { 44100.0, 48000.0, 96000.0, 192000.0 })
    {
        for (bool stereo : { true, false })
        {
            SidechainAnalyser analyser;
            analyser.prepare (rate);
            analyser.setStereo (stereo);
            PlainAnalyser plain (analyser, rate, stereo);

            int hops = 0;
            while (hops < 100)
            {
                const int n = pick (1, 1500);
                const float scale = std::pow (10.0f, (float) pick (-20, 30));
                const float tone = (float) pick (20, 19000);
                const int kind = pick (0, 5);
                std::vector<float> x0 ((size_t) n), x1 ((size_t) n);
                for (int i = 0; i < n; ++i)
                {
                    const float s = std::sin (2.0f * std::numbers::pi_v<float> * tone * (float) i / (float) rate);
                    x0[(size_t) i] = kind == 0 ? 0.0f : kind == 1 ? scale : kind == 2 ? scale * s : scale * unit (rng);
                    x1[(size_t) i] = kind == 3 ? scale * s * unit (rng) : scale * unit (rng);
                }
                if (pick (0, 15) == 0)
                    x0[(size_t) pick (0, n - 1)] = std::numeric_limits<float>::quiet_NaN();
                if (pick (0, 15) == 0)
                    x1[(size_t) pick (0, n - 1)] = 3e38f;

                const bool hop = analyser.pushBlock (x0.data(), stereo ? x1.data() : nullptr, n);
                bool plainHop = false;
                for (int i = 0; i < n; ++i)
                    plainHop = plain.push (x0[(size_t) i], x1[(size_t) i]) || plainHop;

                ASSERT_EQ (plainHop, hop) << rate << (stereo ? " stereo" : " mono");
                ASSERT_EQ (0, std::memcmp (analyser.getLevels().data(), plain.levels.data(), sizeof (float) * kBandCount))
                    << rate << (stereo ? " stereo" : " mono") << ", hop " << hops;
                hops += hop ? 1 : 0;
            }
        }
    }
}

} // namespace
} // namespace vo::test
