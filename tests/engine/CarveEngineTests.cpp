#include "CarveEngine.h"
#include "reference/EngineProbe.h"

#include "engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>

namespace vo::test
{
using namespace vo::plugins::zel;
namespace
{

std::array<float, kBandCount> flatCurve (float db)
{
    std::array<float, kBandCount> c {};
    c.fill (db);
    return c;
}

class CarveEngineAt48k : public ::testing::Test
{
protected:
    void SetUp() override
    {
        engine = std::make_unique<CarveEngine>();
        engine->prepare (48000.0, 512);
    }

    // A loud 1 kHz sidechain carving a stereo main for `seconds`.
    void carveWithSidechainSine (AudioBuffer& main, AudioBuffer& sidechain, EngineSettings s)
    {
        fillSine (sidechain.channel (0), sidechain.numSamples(), 1000.0, 48000.0, 0.5f);
        fillSine (sidechain.channel (1), sidechain.numSamples(), 1000.0, 48000.0, 0.5f);
        engine->setSettings (s);
        processInBlocks (*engine, main, &sidechain, 512);
    }

    std::unique_ptr<CarveEngine> engine;
};

TEST_F (CarveEngineAt48k, CutsTheBandTheSidechainPlays)
{
    AudioBuffer main (2, 48000), sidechain (2, 48000);
    fillSine (main.channel (0), 48000, 1000.0, 48000.0, 0.5f);
    fillSine (main.channel (1), 48000, 1000.0, 48000.0, 0.5f);
    const auto input = main[0];
    carveWithSidechainSine (main, sidechain, carveSettings (1.0f, 0.3f));

    EXPECT_LT (engine->getCutCurve()[18], -25.0f);
    EXPECT_GT (engine->getCutCurve()[8], -0.1f);
    const double attenuation = rmsDb (main.channel (0) + 40000, 8000) - rmsDb (input.data() + 40000, 8000);
    EXPECT_LT (attenuation, -15.0);
    EXPECT_GT (attenuation, -32.0);
}

TEST_F (CarveEngineAt48k, BlocksSplitOnTheTickGrid)
{
    AudioBuffer main (1, 64);
    fillNoise (main.channel (0), 64, 0.5f, 21);
    const auto input = main[0];
    const auto cut = flatCurve (-12.0f);

    engine->setSettings (carveSettings());
    engine->loadCutCurve (cut.data());
    auto m = main.at (0);
    engine->process (m.data(), 1, nullptr, 0, 45);
    EXPECT_EQ (EngineProbe::gridPhase (*engine), 13);

    // The first tick (and so the first ramp) starts at sample 32.
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ (main[0][(size_t) i], input[(size_t) i]) << i;
    EXPECT_FALSE (std::equal (main[0].begin() + 32, main[0].begin() + 45, input.begin() + 32));

    m = main.at (45);
    engine->process (m.data(), 1, nullptr, 0, 19);
    EXPECT_EQ (EngineProbe::gridPhase (*engine), 0);
}

TEST_F (CarveEngineAt48k, OutputDoesNotDependOnHowTheHostSplitsBlocks)
{
    AudioBuffer mainA (2, 24000), sidechain (2, 24000);
    fillNoise (mainA.channel (0), 24000, 0.5f, 1);
    fillNoise (mainA.channel (1), 24000, 0.5f, 2);
    fillNoise (sidechain.channel (0), 24000, 0.5f, 3);
    fillSine (sidechain.channel (1), 24000, 300.0, 48000.0, 0.7f);
    AudioBuffer mainB = mainA;

    auto s = carveSettings (1.0f, 0.3f);
    s.mode = 1;
    s.pan = 0.3f;
    engine->setSettings (s);
    processInBlocks (*engine, mainA, &sidechain, 512);

    CarveEngine other;
    other.prepare (48000.0, 512);
    other.setSettings (s);
    std::mt19937 rng (5);
    std::uniform_int_distribution<int> size (1, 512);
    for (int offset = 0; offset < 24000;)
    {
        const int n = std::min (size (rng), 24000 - offset);
        auto m = mainB.at (offset);
        auto c = sidechain.at (offset);
        other.process (m.data(), 2, c.data(), 2, n);
        offset += n;
    }

    EXPECT_EQ (mainA[0], mainB[0]);
    EXPECT_EQ (mainA[1], mainB[1]);
    EXPECT_EQ (engine->getCutCurve(), other.getCutCurve());
    EXPECT_LT (engine->getCutCurve()[12], -1.0f);
}

TEST_F (CarveEngineAt48k, NanInTheMainInputSilencesTheBlockAndRestartsFlat)
{
    AudioBuffer main (2, 48000), sidechain (2, 48000);
    fillNoise (main.channel (0), 48000, 0.5f, 4);
    fillNoise (main.channel (1), 48000, 0.5f, 5);
    carveWithSidechainSine (main, sidechain, carveSettings());
    ASSERT_LT (engine->getCutCurve()[18], -20.0f);

    AudioBuffer bad (2, 256);
    fillNoise (bad.channel (0), 256, 0.5f, 6);
    fillNoise (bad.channel (1), 256, 0.5f, 7);
    bad[1][100] = std::numeric_limits<float>::quiet_NaN();
    auto b = bad.at (0);
    auto c = sidechain.at (0);
    engine->process (b.data(), 2, c.data(), 2, 256);

    for (int ch = 0; ch < 2; ++ch)
        for (float x : bad[ch])
            ASSERT_EQ (x, 0.0f);
    EXPECT_EQ (engine->getCutCurve(), flatCurve (0.0f));
    EXPECT_TRUE (EngineProbe::cutBank (*engine).isFlat());
    EXPECT_EQ (EngineProbe::gridPhase (*engine), 0);

    // The next block is processed normally again.
    fillNoise (bad.channel (0), 256, 0.5f, 8);
    const auto input = bad[0];
    engine->process (b.data(), 2, c.data(), 2, 256);
    EXPECT_EQ (bad[0], input); // flat bank: unity passes bit for bit
}

TEST_F (CarveEngineAt48k, HugeInputCountsAsBad)
{
    AudioBuffer main (1, 64);
    main[0][10] = 2e30f;
    auto m = main.at (0);
    engine->process (m.data(), 1, nullptr, 0, 64);
    for (float x : main[0])
        EXPECT_EQ (x, 0.0f);
}

TEST_F (CarveEngineAt48k, FrozenCutSurvivesABadBlock)
{
    const auto cut = flatCurve (-9.0f);
    auto s = carveSettings();
    s.freeze = true;
    engine->setSettings (s);
    engine->loadCutCurve (cut.data());

    AudioBuffer main (2, 128);
    main[0][5] = std::numeric_limits<float>::infinity();
    auto m = main.at (0);
    engine->process (m.data(), 2, nullptr, 0, 128);
    EXPECT_EQ (main[0][5], 0.0f);
    EXPECT_EQ (engine->getCutCurve(), cut);
}

TEST_F (CarveEngineAt48k, WithoutSidechainTheMainInputIsTheSource)
{
    AudioBuffer main (2, 48000);
    fillSine (main.channel (0), 48000, 1000.0, 48000.0, 0.5f);
    fillSine (main.channel (1), 48000, 1000.0, 48000.0, 0.5f);
    engine->setSettings (carveSettings());
    processInBlocks (*engine, main, nullptr, 512);
    EXPECT_LT (engine->getCutCurve()[18], -20.0f);

    // A sidechain pointer array with null channels counts as no sidechain too.
    float* nulls[2] = { nullptr, nullptr };
    auto m = main.at (0);
    engine->process (m.data(), 2, nulls, 2, 256);
    EXPECT_LT (engine->getCutCurve()[18], -20.0f);
}

TEST_F (CarveEngineAt48k, ChannelsBeyondTheSecondAreUntouched)
{
    AudioBuffer main (3, 24000), sidechain (2, 24000);
    for (int ch = 0; ch < 3; ++ch)
        fillSine (main.channel (ch), 24000, 1000.0, 48000.0, 0.5f);
    const auto third = main[2];
    carveWithSidechainSine (main, sidechain, carveSettings());
    EXPECT_EQ (main[2], third);
    EXPECT_LT (rmsDb (main.channel (0) + 20000, 4000), rmsDb (third.data() + 20000, 4000) - 10.0);
}

TEST_F (CarveEngineAt48k, MonoMainInMidSideBehavesLikeLeftRight)
{
    AudioBuffer a (1, 24000), sidechain (2, 24000);
    fillNoise (a.channel (0), 24000, 0.5f, 9);
    AudioBuffer b = a;
    fillSine (sidechain.channel (0), 24000, 2000.0, 48000.0, 0.5f);
    fillSine (sidechain.channel (1), 24000, 2000.0, 48000.0, 0.5f);

    auto s = carveSettings();
    engine->setSettings (s);
    processInBlocks (*engine, a, &sidechain, 256);

    CarveEngine other;
    other.prepare (48000.0, 512);
    s.mode = 1;
    other.setSettings (s);
    processInBlocks (other, b, &sidechain, 256);
    EXPECT_EQ (a[0], b[0]);
    EXPECT_LT (engine->getCutCurve()[21], -20.0f);
}

TEST_F (CarveEngineAt48k, EmptyCallsDoNothing)
{
    AudioBuffer main (2, 16);
    auto m = main.at (0);
    engine->process (m.data(), 2, nullptr, 0, 10);
    ASSERT_EQ (EngineProbe::gridPhase (*engine), 10);

    engine->process (m.data(), 2, nullptr, 0, 0);
    engine->process (m.data(), 0, nullptr, 0, 16);
    engine->process (nullptr, 2, nullptr, 0, 16);
    EXPECT_EQ (EngineProbe::gridPhase (*engine), 10);
}

TEST_F (CarveEngineAt48k, LowCutAboveTheTopBandLeavesNothingToCut)
{
    AudioBuffer main (2, 24000), sidechain (2, 24000);
    auto s = carveSettings();
    s.lowCut = 18000.0f;
    carveWithSidechainSine (main, sidechain, s);
    EXPECT_EQ (engine->getCutCurve(), flatCurve (0.0f));

    s.lowCut = 20.0f;
    s.highCut = 22.0f;
    carveWithSidechainSine (main, sidechain, s);
    EXPECT_EQ (engine->getCutCurve(), flatCurve (0.0f));
}

TEST (CarveEnginePrepare, NonsenseRateAndBlockSizeFallBackToDefaults)
{
    CarveEngine engine;
    engine.prepare (0.5, 0);
    EXPECT_EQ (EngineProbe::sampleRate (engine), 48000.0);
    EXPECT_EQ (EngineProbe::maxBlockSize (engine), 1);

    AudioBuffer main (2, 1);
    auto m = main.at (0);
    engine.process (m.data(), 2, nullptr, 0, 1);
    EXPECT_EQ (EngineProbe::gridPhase (engine), 1);
}

TEST (CarveEnginePrepare, PrepareStartsFlatAndLoadedCurveIsClamped)
{
    CarveEngine engine;
    float curve[kBandCount] {};
    curve[0] = -50.0f;
    curve[1] = 3.0f;
    curve[2] = std::numeric_limits<float>::quiet_NaN();
    curve[3] = -4.0f;
    engine.loadCutCurve (curve);
    const auto held = engine.getCutCurve();
    EXPECT_EQ (held[0], -30.0f);
    EXPECT_EQ (held[1], 0.0f);
    EXPECT_EQ (held[2], 0.0f);
    EXPECT_EQ (held[3], -4.0f);

    engine.prepare (96000.0, 256);
    EXPECT_EQ (engine.getCutCurve(), flatCurve (0.0f));
}

TEST (CarveEnginePrepare, WorksBeforeTheHostPreparesIt)
{
    CarveEngine engine;
    AudioBuffer main (2, 4096), sidechain (2, 4096);
    fillSine (sidechain.channel (0), 4096, 1000.0, 48000.0);
    EngineSettings s = carveSettings();
    s.scAudition = true;
    engine.setSettings (s);
    processInBlocks (engine, main, &sidechain, 512);
    EXPECT_GT (rmsDb (main.channel (0) + 3000, 1000), -10.0);
}

} // namespace
} // namespace vo::test
