#include "BandLayout.h"
#include "reference/ReferenceBellBank.h"

#include "engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vo::test
{
using namespace vo::plugins::zel;
namespace
{

TEST (BandLayout, CentresAreLogarithmicFrom20HzTo20kHz)
{
    const float expected[kBandCount] = { 22.28f, 27.65f, 34.31f, 42.58f, 52.83f, 65.56f, 81.36f, 100.96f,
                                         125.29f, 155.47f, 192.93f, 239.42f, 297.10f, 368.68f, 457.51f, 567.75f,
                                         704.54f, 874.29f, 1084.94f, 1346.34f, 1670.73f, 2073.27f, 2572.79f, 3192.68f,
                                         3961.91f, 4916.49f, 6101.06f, 7571.03f, 9395.18f, 11658.83f, 14467.88f, 17953.74f };
    for (int b = 0; b < kBandCount; ++b)
        EXPECT_NEAR (bandCentreHz (b), expected[b], 0.006f * std::max (1.0f, expected[b] / 1000.0f)) << "band " << b;
}

TEST (BandLayout, CentresAreTheSinglePrecisionExpression)
{
    for (int b = 0; b < kBandCount; ++b)
        EXPECT_EQ (bandCentreHz (b), powf (1000.0f, ((float) b + 0.5f) * 0.03125f) * 20.0f);
}

TEST (BandLayout, BellCentresAreClampedBelowNyquist)
{
    // At 22.05 kHz the top three centres lie above 0.49 * fs.
    for (int b = 29; b < kBandCount; ++b)
        EXPECT_DOUBLE_EQ (bellCentreHz (b, 22050.0), 0.49 * 22050.0);
    EXPECT_DOUBLE_EQ (bellCentreHz (28, 22050.0), (double) bandCentreHz (28));
}

TEST (BellResponse, ZeroGainIsExactlyFlat)
{
    EXPECT_EQ (bandResponseDb (48000.0, 1000.0, 0.0, 1000.0), 0.0);
    EXPECT_EQ (bandResponseDb (48000.0, 1000.0, 0.0, 1234.0), 0.0);
}

TEST (BellResponse, OwnCentreTakesTheFullGain)
{
    for (double gain : { -1.0, -10.0, -30.0 })
        EXPECT_NEAR (bandResponseDb (48000.0, 1000.0, gain, 1000.0), gain, 1e-9);
}

TEST (BellResponse, MatchesTheMeasuredDigitalBell)
{
    // A -12 dB bell on band 18, measured with steady sines through the bank.
    constexpr double rate = 48000.0;
    constexpr int band = 18;
    ReferenceBellBank bank;
    bank.prepareFilters (rate);

    ReferenceBellBank::Amplitudes amps {};
    for (auto& set : amps)
        set.fill (1.0f);
    amps[0][band] = std::pow (10.0f, -12.0f / 40.0f);
    bank.applyAmplitudes (amps);

    for (int probe : { 15, 17, 18, 19, 22 })
    {
        const double f = bandCentreHz (probe);
        std::vector<float> x (48000);
        fillSine (x.data(), (int) x.size(), f, rate);
        std::vector<float> y = x;
        for (int i = 0; i < (int) y.size(); i += 32)
            bank.process (y.data() + i, nullptr, 32, false, true);

        const double measured = rmsDb (y.data() + 24000, 24000) - rmsDb (x.data() + 24000, 24000);
        EXPECT_NEAR (measured, bandResponseDb (rate, bellCentreHz (band, rate), -12.0, f), 0.02) << "probe band " << probe;
    }
}

} // namespace
} // namespace vo::test
