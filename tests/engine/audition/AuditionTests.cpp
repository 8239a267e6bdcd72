#include "CarveEngine.h"
#include "audition/SvfFilter.h"

#include "engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace vo::test
{
using namespace vo::plugins::zel;
namespace
{

class AuditionAt48k : public ::testing::Test
{
protected:
    void SetUp() override
    {
        engine = std::make_unique<CarveEngine>();
        engine->prepare (48000.0, 512);
    }

    void audition (bool on, float lowCut = 20.0f, float highCut = 20000.0f)
    {
        settings.scAudition = on;
        settings.lowCut = lowCut;
        settings.highCut = highCut;
        engine->setSettings (settings);
    }

    // Gain in dB of the fully auditioned path for a sidechain sine.
    double auditionGainDb (double freq)
    {
        engine->prepare (48000.0, 512); // audition on from the first sample
        AudioBuffer main (2, 48000), sidechain (1, 48000);
        fillSine (sidechain.channel (0), 48000, freq, 48000.0);
        processInBlocks (*engine, main, &sidechain, 512);
        return rmsDb (main.channel (0) + 24000, 24000) - rmsDb (sidechain.channel (0) + 24000, 24000);
    }

    EngineSettings settings;
    std::unique_ptr<CarveEngine> engine;
};

TEST_F (AuditionAt48k, FadesLinearlyOver10ms)
{
    // Main at a constant 1, silent sidechain: the output is 1 - fade.
    AudioBuffer main (2, 1024), sidechain (2, 1024);
    main[0].assign (1024, 1.0f);
    main[1].assign (1024, 1.0f);
    audition (true);
    processInBlocks (*engine, main, &sidechain, 256);

    for (int i = 0; i < 480; ++i)
        EXPECT_NEAR (main[0][(size_t) i], 1.0f - (float) (i + 1) / 480.0f, 1e-4f) << i;
    for (int i = 479; i < 1024; ++i)
        EXPECT_EQ (main[0][(size_t) i], 0.0f) << i;
}

TEST_F (AuditionAt48k, TurnsAroundMidFadeWithoutAJump)
{
    // 5 ms in, then straight back out.
    AudioBuffer main (1, 240), sidechain (1, 240);
    main[0].assign (240, 1.0f);
    audition (true);
    processInBlocks (*engine, main, &sidechain, 100);

    AudioBuffer m2 (1, 960), s2 (1, 960);
    m2[0].assign (960, 1.0f);
    audition (false);
    processInBlocks (*engine, m2, &s2, 64);

    float previous = main[0][239];
    EXPECT_NEAR (previous, 0.5f, 1e-3f);
    for (int i = 0; i < 960; ++i)
    {
        EXPECT_LE (std::abs (m2[0][(size_t) i] - previous), 1.0f / 480.0f + 1e-5f) << i;
        previous = m2[0][(size_t) i];
    }
    EXPECT_EQ (m2[0][959], 1.0f);
}

TEST_F (AuditionAt48k, CornersAreTwelveDbPerOctaveSlopes)
{
    audition (true, 200.0f, 2000.0f);
    EXPECT_NEAR (auditionGainDb (200.0), -3.0, 0.3);
    EXPECT_NEAR (auditionGainDb (100.0), -12.3, 0.5);
    EXPECT_NEAR (auditionGainDb (50.0), -24.1, 0.8);
    EXPECT_NEAR (auditionGainDb (632.0), 0.0, 0.3);
    EXPECT_NEAR (auditionGainDb (2000.0), -3.0, 0.3);
    EXPECT_NEAR (auditionGainDb (4000.0), -12.3, 0.8);
}

TEST_F (AuditionAt48k, MonoSidechainIsHeardOnBothChannels)
{
    audition (true, 100.0f, 5000.0f);
    engine->prepare (48000.0, 512);
    AudioBuffer main (2, 4096), sidechain (1, 4096);
    fillNoise (main.channel (0), 4096, 0.5f, 1);
    fillNoise (main.channel (1), 4096, 0.5f, 2);
    fillNoise (sidechain.channel (0), 4096, 0.5f, 3);
    processInBlocks (*engine, main, &sidechain, 512);
    EXPECT_EQ (main[0], main[1]);
    EXPECT_GT (rmsDb (main.channel (0), 4096), -20.0);
}

TEST_F (AuditionAt48k, WithoutSidechainTheMainInputItselfIsBandLimited)
{
    audition (true, 200.0f, 2000.0f);
    engine->prepare (48000.0, 512);
    AudioBuffer main (1, 4096);
    fillNoise (main.channel (0), 4096, 0.5f, 4);
    const auto input = main[0];

    SvfFilter hp, lp;
    hp.setSampleRate (48000.0);
    lp.setSampleRate (48000.0);
    hp.setType (SvfFilter::highPass);
    hp.setCutoff (200.0f);
    hp.design();
    lp.setType (SvfFilter::lowPass);
    lp.setCutoff (2000.0f);
    lp.design();

    processInBlocks (*engine, main, nullptr, 512);
    for (int i = 0; i < 4096; ++i)
        ASSERT_EQ (main[0][(size_t) i], lp.processSample (hp.processSample (input[(size_t) i], 0), 0)) << i;
}

TEST_F (AuditionAt48k, CornerBelow5HzIsDesignedAt5Hz)
{
    AudioBuffer a (2, 8192), sidechain (2, 8192);
    fillNoise (sidechain.channel (0), 8192, 0.5f, 5);
    fillNoise (sidechain.channel (1), 8192, 0.5f, 6);
    AudioBuffer b = a;

    audition (true, 2.0f);
    engine->prepare (48000.0, 512);
    processInBlocks (*engine, a, &sidechain, 512);

    audition (true, 5.0f);
    engine->prepare (48000.0, 512);
    processInBlocks (*engine, b, &sidechain, 512);
    EXPECT_EQ (a[0], b[0]);
    EXPECT_EQ (a[1], b[1]);
}

TEST_F (AuditionAt48k, WhileFullyAuditionedTheCutIsNotWritten)
{
    settings = carveSettings();
    audition (true);
    engine->prepare (48000.0, 512);

    // The silent sidechain is what is heard; the carved main is not.
    AudioBuffer main (2, 4096), sidechain (2, 4096);
    fillNoise (main.channel (0), 4096, 0.5f, 7);
    processInBlocks (*engine, main, &sidechain, 512);
    for (float x : main[0])
        ASSERT_EQ (x, 0.0f);
}

TEST (SvfFilterUnit, ChannelWithoutStatePassesThrough)
{
    SvfFilter f;
    f.setSampleRate (48000.0);
    f.setType (SvfFilter::highPass);
    f.design();
    EXPECT_EQ (f.processSample (0.75f, 2), 0.75f);
    EXPECT_EQ (f.processSample (0.75f, -1), 0.75f);
}

TEST (SvfFilterUnit, BellTakesItsGainAtTheCentre)
{
    SvfFilter f;
    f.setSampleRate (48000.0);
    f.setType (SvfFilter::bell);
    f.setCutoff (1000.0f);
    f.setQ (2.0f);
    f.setGainDb (-12.0f);
    f.design();
    std::vector<float> x (48000), y (48000);
    fillSine (x.data(), 48000, 1000.0, 48000.0);
    for (int i = 0; i < 48000; ++i)
        y[(size_t) i] = f.processSample (x[(size_t) i], 0);
    EXPECT_NEAR (rmsDb (y.data() + 24000, 24000) - rmsDb (x.data() + 24000, 24000), -12.0, 0.05);
}

// The block cascade must give processSample's bits, whatever the block
// lengths, responses and signal levels, with the states carried across blocks.
TEST (SvfFilterUnit, CascadeGivesTheSampleBySampleBits)
{
    std::mt19937 rng (5);
    const auto pick = [&rng] (int low, int high) { return std::uniform_int_distribution<int> (low, high) (rng); };
    const auto uniform = [&rng] (float low, float high) { return std::uniform_real_distribution<float> (low, high) (rng); };

    for (int trial = 0; trial < 40; ++trial)
    {
        SvfFilter first, second, firstRef, secondRef;
        const double rate = pick (0, 1) == 0 ? 48000.0 : 96000.0;
        for (auto* f : { &first, &second, &firstRef, &secondRef })
            f->setSampleRate (rate);

        const int firstType = pick (0, 7), secondType = pick (0, 7);
        const float firstCorner = uniform (5.0f, 20000.0f), secondCorner = uniform (5.0f, 20000.0f);
        const float q = uniform (0.3f, 8.0f), gain = uniform (-24.0f, 12.0f);
        for (auto* f : { &first, &firstRef })
        {
            f->setType (firstType);
            f->setCutoff (firstCorner);
            f->setQ (q);
            f->setGainDb (gain);
            f->design();
        }
        for (auto* f : { &second, &secondRef })
        {
            f->setType (secondType);
            f->setCutoff (secondCorner);
            f->setQ (q);
            f->setGainDb (-gain);
            f->design();
        }

        for (int block = 0; block < 20; ++block)
        {
            const int n = pick (0, 4) == 0 ? pick (1, 3) : pick (1, 700);
            const float level = pick (0, 5) == 0 ? 1e-30f : uniform (0.01f, 4.0f);
            std::vector<float> x0 ((size_t) n), x1 ((size_t) n), y0 ((size_t) n), y1 ((size_t) n);
            for (int i = 0; i < n; ++i)
            {
                x0[(size_t) i] = level * uniform (-1.0f, 1.0f);
                x1[(size_t) i] = level * uniform (-1.0f, 1.0f);
            }

            SvfFilter::processCascade (first, second, x0.data(), x1.data(), y0.data(), y1.data(), n);

            for (int i = 0; i < n; ++i)
            {
                const float r0 = secondRef.processSample (firstRef.processSample (x0[(size_t) i], 0), 0);
                const float r1 = secondRef.processSample (firstRef.processSample (x1[(size_t) i], 1), 1);
                ASSERT_EQ (0, std::memcmp (&r0, &y0[(size_t) i], sizeof (float))) << "trial " << trial << ", block " << block << ", sample " << i;
                ASSERT_EQ (0, std::memcmp (&r1, &y1[(size_t) i], sizeof (float))) << "trial " << trial << ", block " << block << ", sample " << i;
            }
        }
    }
}

} // namespace
} // namespace vo::test
