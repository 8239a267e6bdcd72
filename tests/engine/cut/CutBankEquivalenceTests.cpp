// The cut bank's per-tick passes run four bands at a time and its amplitudes
// come from a vector exp; both must give the bits of the band-by-band code
// (reference/PlainCutBank.h), through the bank's own interface, over long
// randomized runs.

#include "cut/CutAmplitude.h"
#include "cut/CutBank.h"
#include "reference/EngineProbe.h"
#include "reference/PlainCutBank.h"
#include "engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace vo::test
{
using namespace vo::plugins::zel;
namespace
{

std::uint32_t bitsOf (float x)
{
    std::uint32_t u;
    std::memcpy (&u, &x, sizeof u);
    return u;
}

float fromBits (std::uint32_t u)
{
    float x;
    std::memcpy (&x, &u, sizeof x);
    return x;
}

template <typename Array>
bool sameBits (const Array& a, const Array& b)
{
    return a.size() == b.size() && std::memcmp (a.data(), b.data(), sizeof (a[0]) * a.size()) == 0;
}

constexpr double kLn10Over40 = PlainCutBank::kLn10Over40;

float plainAmplitude (float p) { return PlainCutBank::plainAmplitude (p); }

// Both banks side by side, given the same settings, levels and audio from one
// seeded generator.
class BankPair
{
public:
    BankPair (double sampleRate, std::uint32_t seed) : rng (seed)
    {
        candidate.prepareFilters (sampleRate);
        plain.prepareFilters (sampleRate);
        candidate.prepareCut (sampleRate, 512);
        plain.prepareCut (sampleRate, 512);
        both ([] (auto& bank) { bank.setRange (20.0f, 20000.0f); });
        both ([] (auto& bank) { bank.reset(); });
        audio[0].resize (32);
        audio[1].resize (32);
    }

    int pick (int low, int high) { return std::uniform_int_distribution<int> (low, high) (rng); }
    float uniform (float low, float high) { return std::uniform_real_distribution<float> (low, high) (rng); }

    template <typename Change>
    void both (Change&& change)
    {
        change (candidate);
        change (plain);
    }

    // Some settings change about once in `rarity` ticks, each its own way.
    void changeSettings (int rarity)
    {
        if (pick (0, rarity) == 0)
        {
            const float amount = pick (0, 4) == 0 ? (float) pick (0, 1) : uniform (-0.2f, 1.2f);
            both ([=] (auto& bank) { bank.setAmount (amount); });
        }
        if (pick (0, rarity) == 0)
        {
            // From no spread through every reach to the full four neighbours.
            const float choices[] = { 0.0f, 0.05f, 0.3f, 0.5f, 0.74f, 0.75f, 1.0f, -0.5f, 1.5f };
            const float smooth = pick (0, 1) == 0 ? choices[pick (0, 8)] : uniform (0.0f, 1.0f);
            both ([=] (auto& bank) { bank.setSmooth (smooth); });
        }
        if (pick (0, rarity) == 0)
        {
            const float low = pick (0, 2) == 0 ? 20.0f : std::exp (uniform (std::log (20.0f), std::log (20000.0f)));
            const float high = pick (0, 2) == 0 ? 20000.0f : std::exp (uniform (std::log (20.0f), std::log (20000.0f)));
            both ([=] (auto& bank) { bank.setRange (low, high); });
        }
        if (pick (0, rarity) == 0)
        {
            const float times[] = { 0.0f, 0.5f, 1.0f, 10.0f, 150.0f, 500.0f };
            const float attack = times[pick (0, 5)], release = times[pick (0, 5)];
            both ([=] (auto& bank) { bank.setAttackRelease (attack, release); });
        }
        if (pick (0, rarity) == 0)
        {
            const float pans[] = { 0.0f, -0.0f, 1.0f, -1.0f, 0.5f, -0.25f, 2.0f };
            const float pan = pick (0, 1) == 0 ? pans[pick (0, 6)] : uniform (-1.0f, 1.0f);
            const int mode = pick (0, 3) == 0 ? 1 - candidate.getActiveMode() : candidate.getActiveMode();
            both ([=] (auto& bank) { bank.setPanAndMode (pan, mode); });
        }
        if (pick (0, rarity) == 0)
        {
            const bool frozen = pick (0, 2) == 0;
            both ([=] (auto& bank) { bank.setFrozen (frozen); });
        }
        if (pick (0, 4 * rarity) == 0)
        {
            CutBank::Curve curve {};
            for (auto& v : curve)
            {
                const int kind = pick (0, 7);
                v = kind == 0 ? 0.0f : kind == 1 ? -0.0f : kind == 2 ? -kMaxCutDb : uniform (-40.0f, 5.0f);
            }
            curve[(size_t) pick (0, kBandCount - 1)] = std::numeric_limits<float>::quiet_NaN();
            both ([&] (auto& bank) { bank.loadCutCurve (curve.data()); });
        }
        if (pick (0, 20 * rarity) == 0)
            both ([] (auto& bank) { bank.reset(); });
    }

    // A new analysis: loud or quiet bands, silence, and now and then a level
    // no analysis should give.
    void newLevels()
    {
        CutBank::Curve levels {};
        const int mood = pick (0, 9);
        for (auto& level : levels)
        {
            level = mood == 0 ? -100.0f : uniform (-70.0f, 6.0f);
            if (mood == 1 && pick (0, 3) == 0)
                level = -100.0f;
        }
        if (pick (0, 50) == 0)
        {
            const float odd[] = { std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity(),
                                  std::numeric_limits<float>::infinity() };
            levels[(size_t) pick (0, kBandCount - 1)] = odd[pick (0, 2)];
        }
        both ([&] (auto& bank) { bank.setLevels (levels); });
    }

    // One call of 32 samples each; noise in, and the outputs must match too.
    void tick (bool stereo)
    {
        std::array<std::vector<float>, 2> other;
        for (auto& ch : audio)
            for (auto& x : ch)
                x = uniform (-0.5f, 0.5f);
        other = audio;
        const bool apply = pick (0, 30) != 0;
        const int channels = stereo ? 2 : 1;
        candidate.processBank (audio[0].data(), audio[1].data(), channels, 32, apply);
        plain.processBank (other[0].data(), other[1].data(), channels, 32, apply);
        outputsMatch = sameBits (audio[0], other[0]) && sameBits (audio[1], other[1]);
    }

    void expectSameState (const std::string& where) const
    {
        ASSERT_TRUE (outputsMatch) << where;
        ASSERT_TRUE (sameBits (candidate.getTarget(), plain.target)) << where;
        ASSERT_TRUE (sameBits (candidate.getHeld(), plain.held)) << where;
        ASSERT_TRUE (sameBits (candidate.getFollowed(), plain.followed)) << where;
        ASSERT_TRUE (sameBits (candidate.getGains(), plain.gains)) << where;
        for (int set = 0; set < 2; ++set)
        {
            ASSERT_TRUE (sameBits (candidate.getAmplitudes()[(size_t) set], plain.amplitude[(size_t) set])) << where << ", set " << set;
            ASSERT_EQ (bitsOf (candidate.getWeight (set)), bitsOf (plain.weight[(size_t) set])) << where;
        }
        ASSERT_EQ (bitsOf (candidate.getReference()), bitsOf (plain.reference)) << where;
        ASSERT_EQ (candidate.isFlat(), plain.bells.isFlat()) << where;
        ASSERT_EQ (candidate.isSilentAndFlat(), plain.silentAndFlat) << where;
        ASSERT_EQ (candidate.isModePending(), plain.modePending) << where;
        ASSERT_EQ (candidate.getActiveMode(), plain.activeMode) << where;
        ASSERT_EQ (candidate.getBandLow(), plain.bandLow) << where;
        ASSERT_EQ (candidate.getBandHigh(), plain.bandHigh) << where;
    }

    CutBank candidate;
    PlainCutBank plain;

private:
    std::mt19937 rng;
    std::array<std::vector<float>, 2> audio;
    bool outputsMatch = true;
};

void expectPlainBankBits (double rate, std::uint32_t seed, int ticks, int rarity)
{
    BankPair pair (rate, seed);
    pair.both ([] (auto& bank) { bank.setAmount (1.0f); });

    int hop = 16;
    for (int tick = 0; tick < ticks; ++tick)
    {
        // Levels every analysis hop, which itself now and then changes.
        if (tick % hop == 0)
        {
            pair.newLevels();
            if (pair.pick (0, 20) == 0)
                hop = pair.pick (1, 32);
        }
        pair.changeSettings (rarity);
        pair.tick (tick % 3 != 0);
        pair.expectSameState (std::to_string (rate) + " Hz, seed " + std::to_string (seed) + ", tick " + std::to_string (tick));
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

TEST (CutBankEquivalence, RandomRunsGiveThePlainBanksBits)
{
    std::uint32_t seed = 7;
    for (double rate : { 44100.0, 48000.0, 96000.0 })
    {
        expectPlainBankBits (rate, seed++, 12000, 40);
        ASSERT_FALSE (::testing::Test::HasFatalFailure());
        expectPlainBankBits (rate, seed++, 6000, 400);
        ASSERT_FALSE (::testing::Test::HasFatalFailure());

        const FlushedDenormals flushed;
        expectPlainBankBits (rate, seed++, 6000, 40);
        ASSERT_FALSE (::testing::Test::HasFatalFailure());
    }
}

// What the engine's worst case does: levels that jump every analysis hop,
// 0.5 ms attack and release and the default spread, so the whole cut moves
// from tick to tick; the pan leaves the centre now and then.
TEST (CutBankEquivalence, WorstCaseRunGivesThePlainBanksBits)
{
    BankPair pair (48000.0, 99);
    pair.both ([] (auto& bank) {
        bank.setAmount (1.0f);
        bank.setSmooth (0.3f);
        bank.setAttackRelease (0.5f, 0.5f);
    });

    for (int tick = 0; tick < 8000; ++tick)
    {
        if (tick % 16 == 0)
            pair.newLevels();
        if (tick % 500 == 250)
            pair.both ([&] (auto& bank) { bank.setPanAndMode (tick % 1000 == 250 ? 0.4f : 0.0f, 0); });
        pair.tick (true);
        pair.expectSameState ("tick " + std::to_string (tick));
        ASSERT_FALSE (::testing::Test::HasFatalFailure());
    }
}

// The four-lane amplitudes against std::exp lane by lane: edges of the range,
// the points where the exp's reduction moves to the next power of two, a
// spread of gains in between, and lanes outside the range among them.
TEST (CutBankEquivalence, AmplitudesMatchStdExpOverTheCutRange)
{
    std::vector<float> gains { 0.0f, -0.0f, -kMaxCutDb, std::nextafter (-kMaxCutDb, 0.0f), -1.0f, -6.0f, -29.5f,
                               -std::numeric_limits<float>::denorm_min(), -2.0f * std::numeric_limits<float>::denorm_min(),
                               -std::numeric_limits<float>::min(), -1e-7f, -1e-3f };

    // The exp's reduction takes k = round (x / ln2): the floats on either side
    // of the gains whose x is -ln2 / 2 or -3 ln2 / 2.
    for (double boundary : { -0.5, -1.5 })
    {
        const float centre = (float) (boundary * std::log (2.0) / kLn10Over40);
        float below = centre, above = centre;
        for (int i = 0; i < 2000; ++i)
        {
            gains.push_back (below);
            gains.push_back (above);
            below = std::nextafter (below, -100.0f);
            above = std::nextafter (above, 100.0f);
        }
    }

    // Every binade down to the subnormals, and the whole range evenly.
    std::mt19937 rng (42);
    std::uniform_int_distribution<std::uint32_t> pattern (0, bitsOf (kMaxCutDb));
    for (int i = 0; i < 400000; ++i)
        gains.push_back (-fromBits (pattern (rng)));
    std::uniform_real_distribution<float> even (-kMaxCutDb, 0.0f);
    for (int i = 0; i < 400000; ++i)
        gains.push_back (even (rng));

    // Outside the range the scalar amplitude takes over, lane by lane.
    const float outside[] = { std::nextafter (-kMaxCutDb, -100.0f), -31.0f, -1000.0f, 1e-30f, std::numeric_limits<float>::denorm_min(),
                              0.5f, 30.0f, -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN() };
    for (size_t i = 0; i < std::size (outside); ++i)
    {
        gains.insert (gains.begin() + (std::ptrdiff_t) (i * 7 % gains.size()), outside[i]);
        gains.push_back (outside[i]);
    }

    // Whole vectors for every kernel's width.
    while (gains.size() % 8 != 0)
        gains.push_back (-3.0f);

    const auto check = [&gains]
    {
        for (size_t first = 0; first < gains.size(); first += quad::kLanes)
        {
            const quad::Quad amplitude = amplitudesFor (quad::load (gains.data() + first));
            for (int k = 0; k < quad::kLanes; ++k)
            {
                const float g = gains[first + (size_t) k];
                ASSERT_EQ (bitsOf (amplitude[k]), bitsOf (plainAmplitude (g))) << "gain " << g << " (" << std::hexfloat << g << ")";
                ASSERT_EQ (bitsOf (amplitudeFor (g)), bitsOf (plainAmplitude (g)));
            }
        }

        // The same through each kernel's vectors, a set's share of the gain
        // taken on the way as the bank does.
        std::vector<float> amplitudes (gains.size());
        for (auto kernel : availableKernels())
        {
            for (float weight : { 1.0f, 0.37f })
            {
                amplitudesFor (kernelsFor (kernel), gains.data(), weight, amplitudes.data(), (int) gains.size());
                for (size_t i = 0; i < gains.size(); ++i)
                {
                    const float g = gains[i] * weight;
                    ASSERT_EQ (bitsOf (amplitudes[i]), bitsOf (plainAmplitude (g)))
                        << nameOfKernel (kernel) << " weight " << weight << " gain " << g << " (" << std::hexfloat << g << ")";
                }
            }
        }
    };

    check();
    ASSERT_FALSE (::testing::Test::HasFatalFailure());

    // Again with every gain in another lane.
    std::rotate (gains.begin(), gains.begin() + 1, gains.end());
    check();
    ASSERT_FALSE (::testing::Test::HasFatalFailure());

    const FlushedDenormals flushed;
    check();
}

} // namespace
} // namespace vo::test
