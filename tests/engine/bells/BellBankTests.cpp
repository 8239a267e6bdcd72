#include "bells/BellBank.h"
#include "reference/ReferenceBellBank.h"

#include "engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace vo::test
{
using namespace vo::plugins::zel;
namespace
{

using Amplitudes = ReferenceBellBank::Amplitudes;

Amplitudes unity()
{
    Amplitudes a {};
    for (auto& set : a)
        set.fill (1.0f);
    return a;
}

float amplitudeForDb (float db) { return (float) std::exp ((double) db * 0.057564627324851146); }

class BellBankAt48k : public ::testing::Test
{
protected:
    void SetUp() override { bank.prepareFilters (48000.0); }

    // One tick: new amplitudes, then 32 samples.
    void tick (const Amplitudes& a, float* x0, float* x1, bool midSide = false, bool write = true)
    {
        bank.applyAmplitudes (a);
        bank.process (x0, x1, 32, midSide, write);
    }

    ReferenceBellBank bank;
};

TEST_F (BellBankAt48k, UnityIsBitTransparent)
{
    std::vector<float> left (4096), right (4096);
    fillNoise (left.data(), 4096, 1.0f, 1);
    fillNoise (right.data(), 4096, 1.0f, 2);
    auto l = left, r = right, mono = left;

    for (int i = 0; i < 4096; i += 32)
    {
        tick (unity(), l.data() + i, r.data() + i);
        bank.process (mono.data() + i, nullptr, 32, false, true);
    }
    EXPECT_EQ (l, left);
    EXPECT_EQ (r, right);
    EXPECT_EQ (mono, left);
    EXPECT_TRUE (bank.isFlat());
}

TEST_F (BellBankAt48k, StepGlidesLinearlyFor32SamplesAndLandsExactlyOnTarget)
{
    const int index = 5;
    const BellFilter before = bank.getFilter (index);

    auto a = unity();
    a[0][index] = amplitudeForDb (-30.0f);
    bank.applyAmplitudes (a);
    EXPECT_TRUE (bank.isRamping());
    EXPECT_FALSE (bank.isFlat());

    const BellFilter started = bank.getFilter (index);
    const double stepM1 = (started.m1Target - before.m1) / 32.0;
    const double stepA1 = (started.a1Target - before.a1) / 32.0;
    double m1 = before.m1, a1 = before.a1;

    float x = 0.25f;
    for (int s = 1; s < 32; ++s)
    {
        bank.process (&x, nullptr, 1, false, true);
        const BellFilter f = bank.getFilter (index);
        m1 += stepM1;
        a1 += stepA1;
        EXPECT_EQ (f.m1, m1) << "sample " << s;
        EXPECT_EQ (f.a1, a1) << "sample " << s;
        EXPECT_EQ (f.k, before.k) << "k waits for the end of the ramp";
        EXPECT_TRUE (f.ramping);
    }

    bank.process (&x, nullptr, 1, false, true);
    const BellFilter f = bank.getFilter (index);
    EXPECT_EQ (f.m1, f.m1Target);
    EXPECT_EQ (f.a1, f.a1Target);
    EXPECT_EQ (f.k, f.kTarget);
    EXPECT_EQ (f.a2, f.a1Target * f.g);
    EXPECT_FALSE (f.ramping);
    EXPECT_EQ (bank.getActiveCount(), 0);
}

TEST_F (BellBankAt48k, TinyChangeAppliesAtOnceAndCancelsARunningRamp)
{
    const int index = 40;
    auto a = unity();
    a[1][8] = amplitudeForDb (-12.0f);
    std::vector<float> x (32, 0.0f);
    tick (a, x.data(), x.data());
    ASSERT_EQ (bank.getActiveCount(), 0);

    a[1][8] += 5e-5f;
    bank.applyAmplitudes (a);
    EXPECT_EQ (bank.getActiveCount(), 0);
    EXPECT_FALSE (bank.getFilter (index).ramping);

    ReferenceBellBank direct;
    direct.prepareFilters (48000.0);
    direct.setBandGain (index, a[1][8]);
    EXPECT_EQ (bank.getFilter (index).m1, direct.getFilter (index).m1);
    EXPECT_EQ (bank.getFilter (index).a1, direct.getFilter (index).a1);

    // Mid-ramp: a real change starts a ramp, a tiny one right after ends it.
    a[1][8] = amplitudeForDb (-20.0f);
    bank.applyAmplitudes (a);
    bank.process (x.data(), x.data(), 10, false, true);
    ASSERT_EQ (bank.getActiveCount(), 1);
    a[1][8] += 5e-5f;
    bank.applyAmplitudes (a);
    EXPECT_EQ (bank.getActiveCount(), 0);
    direct.setBandGain (index, a[1][8]);
    EXPECT_EQ (bank.getFilter (index).a1, direct.getFilter (index).a1);
}

TEST_F (BellBankAt48k, MidSideCutOnSetARemovesTheSameComponentFromBothChannels)
{
    auto a = unity();
    for (int b = 14; b <= 22; ++b)
        a[0][(size_t) b] = amplitudeForDb (-12.0f);

    std::vector<float> left (8192), right (8192);
    fillSine (left.data(), 8192, 1000.0, 48000.0, 0.5f);
    fillNoise (right.data(), 8192, 0.3f, 3);
    auto l = left, r = right;
    for (int i = 0; i < 8192; i += 32)
        tick (a, l.data() + i, r.data() + i, true);

    double removedDiff = 0.0, removedL = 0.0;
    for (int i = 4096; i < 8192; ++i)
    {
        const float dl = left[(size_t) i] - l[(size_t) i];
        const float dr = right[(size_t) i] - r[(size_t) i];
        removedDiff = std::max (removedDiff, (double) std::abs (dl - dr));
        removedL = std::max (removedL, (double) std::abs (dl));
        EXPECT_NEAR (l[(size_t) i] - r[(size_t) i], left[(size_t) i] - right[(size_t) i], 1e-6f);
    }
    EXPECT_GT (removedL, 0.1);
    EXPECT_LT (removedDiff, 1e-6);
}

TEST_F (BellBankAt48k, MonoRunsOnlySetA)
{
    auto a = unity();
    a[1][18] = amplitudeForDb (-30.0f);
    std::vector<float> x (2048);
    fillSine (x.data(), 2048, 1000.0, 48000.0);
    auto y = x;
    for (int i = 0; i < 2048; i += 32)
    {
        bank.applyAmplitudes (a);
        bank.process (y.data() + i, nullptr, 32, true, true);
    }
    EXPECT_EQ (y, x);
}

TEST_F (BellBankAt48k, WithoutWriteTheChainsStillRunButSamplesStay)
{
    auto a = unity();
    a[0][18] = amplitudeForDb (-30.0f);
    ReferenceBellBank writing;
    writing.prepareFilters (48000.0);

    std::vector<float> x (1024);
    fillSine (x.data(), 1024, 1000.0, 48000.0);
    auto silent = x, written = x;
    for (int i = 0; i < 512; i += 32)
    {
        tick (a, silent.data() + i, nullptr, false, false);
        writing.applyAmplitudes (a);
        writing.process (written.data() + i, nullptr, 32, false, true);
    }
    EXPECT_TRUE (std::equal (silent.begin(), silent.begin() + 512, x.begin()));

    for (int i = 512; i < 1024; i += 32)
    {
        tick (a, silent.data() + i, nullptr, false, true);
        writing.applyAmplitudes (a);
        writing.process (written.data() + i, nullptr, 32, false, true);
    }
    EXPECT_TRUE (std::equal (silent.begin() + 512, silent.end(), written.begin() + 512));
}

TEST_F (BellBankAt48k, ResetFiltersReturnsEveryBellToUnity)
{
    auto a = unity();
    a[0][3] = a[1][30] = amplitudeForDb (-18.0f);
    bank.applyAmplitudes (a);
    bank.resetFilters();
    EXPECT_TRUE (bank.isFlat());
    EXPECT_EQ (bank.getActiveCount(), 0);
    for (int i = 0; i < ReferenceBellBank::kFilterCount; ++i)
    {
        EXPECT_EQ (bank.getFilter (i).A, 1.0f);
        EXPECT_EQ (bank.getFilter (i).m1, 0.0f);
    }
}

// Drives two banks with the same random amplitude stream and audio: real
// changes, tiny changes, returns to unity, in every channel layout.
template <typename Candidate>
void expectSameOutputAsReference (std::uint32_t seed)
{
    ReferenceBellBank reference;
    Candidate candidate;
    reference.prepareFilters (44100.0);
    candidate.prepareFilters (44100.0);

    std::mt19937 rng (seed);
    std::uniform_real_distribution<float> depth (-30.0f, 0.0f);
    std::uniform_int_distribution<int> pick (0, 9);

    auto a = unity();
    std::vector<float> l0 (32), r0 (32);
    for (int t = 0; t < 600; ++t)
    {
        for (auto& set : a)
            for (auto& amp : set)
            {
                const int choice = pick (rng);
                if (choice < 3)
                    amp = amplitudeForDb (depth (rng));
                else if (choice == 3)
                    amp += 3e-5f;
                else if (choice == 4)
                    amp = 1.0f;
            }

        fillNoise (l0.data(), 32, 1.0f, seed + (std::uint32_t) t);
        fillNoise (r0.data(), 32, 1.0f, seed + 7919u * (std::uint32_t) t);
        auto l1 = l0, r1 = r0;

        const int layout = t / 200; // stereo, mid/side, mono
        reference.applyAmplitudes (a);
        candidate.applyAmplitudes (a);
        for (int offset = 0; offset < 32; offset += 8)
        {
            float* refRight = layout < 2 ? r0.data() + offset : nullptr;
            float* candRight = layout < 2 ? r1.data() + offset : nullptr;
            reference.process (l0.data() + offset, refRight, 8, layout == 1, true);
            candidate.process (l1.data() + offset, candRight, 8, layout == 1, true);
        }

        ASSERT_EQ (0, std::memcmp (l0.data(), l1.data(), 32 * sizeof (float))) << "tick " << t;
        ASSERT_EQ (0, std::memcmp (r0.data(), r1.data(), 32 * sizeof (float))) << "tick " << t;
        ASSERT_EQ (reference.isFlat(), candidate.isFlat());
        ASSERT_EQ (reference.isRamping(), candidate.isRamping());
    }
}

TEST (BellBankEquivalence, EngineBankMatchesTheReferenceBitForBit)
{
    for (std::uint32_t seed : { 11u, 12u, 13u })
        expectSameOutputAsReference<BellBank> (seed);
}

} // namespace
} // namespace vo::test
