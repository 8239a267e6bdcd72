// The cut bank's per-tick passes run four bands at a time and its amplitudes
// come from a vector exp; both must give the bits of the band-by-band code
// kept here, through the bank's own interface, over long randomized runs.

#include "CutAmplitude.h"
#include "CutBank.h"
#include "EngineTestSupport.h"

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

namespace vo::plugins::zel
{
namespace
{

// The old bank's constants, as it wrote them.
constexpr float kSilenceDb = -100.0f;
constexpr float kGateClosedDb = -60.0f;
constexpr float kGateRangeDb = 24.0f;
constexpr float kReferenceCeilingDb = 40.0f;
constexpr float kReferenceFallDbPerSecond = 40.0f;
constexpr float kFollowSeconds = 0.005f;
constexpr float kFollowSnapDb = 0.01f;
constexpr float kWeightSnap = 0.001f;
constexpr int kMaxSpread = 4;
constexpr int kTickSamples = 32;
constexpr double kLn10Over40 = 0.057564627324851146;

float plainAmplitude (float p) { return p == 0.0f ? 1.0f : (float) std::exp ((double) p * kLn10Over40); }

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

// The cut bank written out band by band, one scalar at a time: the decision
// logic the bank must reproduce bit for bit, on the same bells and
// compensator.
class PlainCutBank
{
public:
    using Curve = CutBank::Curve;
    using Amplitudes = CutBank::Amplitudes;

    struct Ballistics
    {
        double rate = 0.0;
        float attackMs = 10.0f, releaseMs = 150.0f;
        float attackCoeff = 0.0f, releaseCoeff = 0.0f;
        float value = 0.0f;

        static float coefficientFor (float timeMs, double tickRate)
        {
            if (timeMs <= 0.0f || tickRate <= 0.0)
                return 0.0f;
            return (float) std::exp (-1.0 / ((double) timeMs * 0.001 * tickRate));
        }

        void updateCoefficients()
        {
            attackCoeff = coefficientFor (attackMs, rate);
            releaseCoeff = coefficientFor (releaseMs, rate);
        }

        float step (float t)
        {
            const float coeff = value > t ? attackCoeff : releaseCoeff;
            float y = (value - t) * coeff + t;
            if (! (y < -0.001f))
                y = 0.0f;
            value = y;
            return y;
        }
    };

    PlainCutBank()
    {
        for (auto& set : amplitude)
            set.fill (1.0f);
    }

    void prepareFilters (double sampleRate) { bells.prepareFilters (sampleRate); }

    void prepareCut (double sampleRate, int analysisHop)
    {
        const double tickRate = sampleRate / kTickSamples;
        for (auto& band : ballistics)
        {
            band.rate = tickRate;
            band.attackMs = attackMs;
            band.releaseMs = releaseMs;
            band.updateCoefficients();
        }
        referenceDecay = (float) ((double) analysisHop * (double) kReferenceFallDbPerSecond / sampleRate);
        followCoeff = (float) (1.0 - std::exp (-(double) kTickSamples / (sampleRate * (double) kFollowSeconds)));
        overlap.prepare (sampleRate);
    }

    void reset()
    {
        bells.resetFilters();
        tickCounter = 0;
        for (auto& band : ballistics)
            band.value = 0.0f;
        levels.fill (kSilenceDb);
        for (auto* curve : { &target, &held, &spread, &scaled, &followed, &gains, &gainsBasis, &appliedGains })
            curve->fill (0.0f);
        for (auto& set : amplitude)
            set.fill (1.0f);
        weight = weightTarget;
        spreadKnown = followSettled = false;
        silent = silentAndFlat = true;
        newLevels = notConverged = gainsDirty = forceApply = resetReference = weightsStarted = modePending = false;
        requestedMode = activeMode;
        reference = kSilenceDb;
    }

    void setAttackRelease (float newAttackMs, float newReleaseMs)
    {
        attackMs = newAttackMs;
        releaseMs = newReleaseMs;
        for (auto& band : ballistics)
        {
            band.attackMs = attackMs;
            band.releaseMs = releaseMs;
            band.updateCoefficients();
        }
    }

    void setAmount (float newAmount) { amount = std::clamp (newAmount, 0.0f, 1.0f); }
    void setSmooth (float newSmooth) { smooth = std::clamp (newSmooth, 0.0f, 1.0f); }

    void setRange (float lowHz, float highHz)
    {
        int low = kBandCount, high = -1;
        for (int b = 0; b < kBandCount && low == kBandCount; ++b)
            if (bandCentreHz (b) >= lowHz)
                low = b;
        for (int b = kBandCount - 1; b >= 0 && high == -1; --b)
            if (bandCentreHz (b) <= highHz)
                high = b;
        if (low != bandLow || high != bandHigh)
            resetReference = true;
        bandLow = low;
        bandHigh = high;
    }

    void setPanAndMode (float newPan, int mode)
    {
        newPan = std::clamp (newPan, -1.0f, 1.0f);
        mode = mode == 1 ? 1 : 0;
        if (mode == requestedMode && newPan == pan)
            return;
        pan = newPan;
        weightTarget[0] = pan <= 0.0f ? 1.0f : 1.0f - pan;
        weightTarget[1] = pan >= 0.0f ? 1.0f : 1.0f + pan;
        gainsDirty = forceApply = true;
        if (mode == requestedMode)
            return;
        requestedMode = mode;
        if (bells.isFlat())
            makeModeActive();
        else
            modePending = true;
    }

    void setFrozen (bool shouldFreeze) { frozen = shouldFreeze; }

    void setLevels (const Curve& newLevelsDb)
    {
        levels = newLevelsDb;
        newLevels = true;
    }

    void loadCutCurve (const float* curve)
    {
        for (int b = 0; b < kBandCount; ++b)
        {
            const float v = curve[b];
            const float value = std::isnan (v) ? 0.0f : std::clamp (v, -kMaxCutDb, 0.0f);
            held[(size_t) b] = value;
            ballistics[(size_t) b].value = value;
        }
    }

    void processBank (float* ch0, float* ch1, int numChannels, int numSamples, bool apply)
    {
        float* const second = std::min (numChannels, 2) == 2 ? ch1 : nullptr;
        for (int done = 0; done < numSamples;)
        {
            if (tickCounter >= kTickSamples)
            {
                tickCounter -= kTickSamples;
                updateCut();
            }
            const int n = std::min (kTickSamples - tickCounter, numSamples - done);
            const bool passThrough = amount == 0.0f && bells.isFlat();
            const bool midSide = activeMode == 1 && second != nullptr;
            bells.enqueue (ch0 + done, second != nullptr ? second + done : nullptr, n, midSide, apply && ! passThrough);
            tickCounter += n;
            done += n;
        }
        bells.flush();
    }

    BellBank bells;
    OverlapCompensator overlap;
    std::array<Ballistics, kBandCount> ballistics {};
    Curve levels {}, target {}, held {}, spread {}, scaled {}, followed {}, gains {}, gainsBasis {}, appliedGains {};
    Curve spreadHeld {};
    Amplitudes amplitude {};
    std::array<float, 2> weightTarget { 1.0f, 1.0f }, weight { 1.0f, 1.0f };
    float reference = kSilenceDb, referenceDecay = 0.43f, pan = 0.0f, amount = 0.0f, smooth = 0.3f;
    float attackMs = 10.0f, releaseMs = 150.0f, followCoeff = 0.125f, spreadSmooth = 0.0f, followAmount = 0.0f;
    int bandLow = 0, bandHigh = kBandCount - 1, spreadLow = 0, spreadHigh = 0;
    int requestedMode = 0, activeMode = 0, tickCounter = 0;
    bool newLevels = false, resetReference = false, silent = true, notConverged = false, spreadKnown = false;
    bool followSettled = false, weightsStarted = false, gainsDirty = false, forceApply = false, frozen = false;
    bool modePending = false, silentAndFlat = true;

private:
    void updateCut()
    {
        if (newLevels)
            updateTarget();
        if (! frozen)
            for (int b = 0; b < kBandCount; ++b)
                held[(size_t) b] = ballistics[(size_t) b].step (target[(size_t) b]);

        const bool spreadMoved = spreadCut();
        if (followScaledCut (spreadMoved) || notConverged)
        {
            gainsBasis = followed;
            followSettled = false;
            notConverged = overlap.compensate (followed, gains);
            gainsDirty = true;
        }

        followWeights();
        updateAmplitudes();
        bells.applyAmplitudes (amplitude);
        silentAndFlat = silent && bells.isFlat();

        if (modePending && bells.isFlat())
        {
            makeModeActive();
            gainsDirty = forceApply = true;
        }
    }

    void updateTarget()
    {
        newLevels = false;
        float peak = kSilenceDb;
        for (int b = bandLow; b <= bandHigh; ++b)
            peak = std::max (peak, levels[(size_t) b]);
        silent = peak < kGateClosedDb;
        const float r = resetReference ? peak : std::max (reference - referenceDecay, peak);
        reference = std::min (r, kReferenceCeilingDb);
        resetReference = false;
        const float gate = std::clamp ((peak - kGateClosedDb) / kGateRangeDb, 0.0f, 1.0f);
        for (int b = 0; b < kBandCount; ++b)
        {
            if (silent || b < bandLow || b > bandHigh)
            {
                target[(size_t) b] = 0.0f;
                continue;
            }
            const float t = std::clamp ((levels[(size_t) b] - reference) / kMaxCutDb + 1.0f, 0.0f, 1.0f);
            target[(size_t) b] = t * -kMaxCutDb * gate;
        }
    }

    bool spreadCut()
    {
        if (spreadKnown && bitsOf (smooth) == bitsOf (spreadSmooth) && bandLow == spreadLow && bandHigh == spreadHigh
            && sameBits (held, spreadHeld))
            return false;
        spreadKnown = true;
        spreadHeld = held;
        spreadSmooth = smooth;
        spreadLow = bandLow;
        spreadHigh = bandHigh;

        const float s = smooth * 4.0f;
        std::array<float, kMaxSpread + 1> w {};
        for (int k = 1; k <= kMaxSpread; ++k)
            w[(size_t) k] = s > 0.0f ? std::max (0.0f, 1.0f - (float) k / (s + 1.0f)) : 0.0f;

        for (int b = 0; b < kBandCount; ++b)
        {
            float v = held[(size_t) b];
            for (int k = 1; k <= kMaxSpread && w[(size_t) k] > 0.0f; ++k)
            {
                if (b - k >= 0)
                    v = std::min (v, w[(size_t) k] * held[(size_t) (b - k)]);
                if (b + k < kBandCount)
                    v = std::min (v, w[(size_t) k] * held[(size_t) (b + k)]);
            }
            spread[(size_t) b] = b >= bandLow && b <= bandHigh ? v : 0.0f;
        }
        return true;
    }

    bool followScaledCut (bool spreadMoved)
    {
        if (followSettled && ! spreadMoved && bitsOf (amount) == bitsOf (followAmount))
            return false;
        bool changed = false, onTarget = true;
        for (int b = 0; b < kBandCount; ++b)
        {
            const float v = std::clamp (amount * spread[(size_t) b], -kMaxCutDb, 0.0f);
            scaled[(size_t) b] = v;
            float& f = followed[(size_t) b];
            const float d = v - f;
            if (std::abs (d) < kFollowSnapDb)
                f = v;
            else
                f += d * followCoeff;
            onTarget = onTarget && bitsOf (f) == bitsOf (v);
            const float basis = gainsBasis[(size_t) b];
            if (std::abs (f - basis) > kFollowSnapDb || (f == 0.0f && basis != 0.0f))
                changed = true;
        }
        followSettled = onTarget && ! changed;
        followAmount = amount;
        return changed;
    }

    void followWeights()
    {
        if (! weightsStarted)
        {
            weight = weightTarget;
            weightsStarted = true;
            return;
        }
        for (int set = 0; set < 2; ++set)
        {
            const float t = modePending ? 0.0f : weightTarget[(size_t) set];
            float& w = weight[(size_t) set];
            if (t == w)
                continue;
            if (std::abs (t - w) < kWeightSnap)
                w = t;
            else
                w += (t - w) * followCoeff;
            gainsDirty = forceApply = true;
        }
    }

    void updateAmplitudes()
    {
        if (! gainsDirty)
            return;
        gainsDirty = false;
        for (int b = 0; b < kBandCount; ++b)
        {
            if (! forceApply && gains[(size_t) b] == appliedGains[(size_t) b])
                continue;
            appliedGains[(size_t) b] = gains[(size_t) b];
            const float pA = gains[(size_t) b] * weight[0];
            const float pB = gains[(size_t) b] * weight[1];
            const float a = plainAmplitude (pA);
            amplitude[0][(size_t) b] = a;
            amplitude[1][(size_t) b] = bitsOf (pA) == bitsOf (pB) ? a : plainAmplitude (pB);
        }
        forceApply = false;
    }

    void makeModeActive()
    {
        bells.resetStates();
        activeMode = requestedMode;
        modePending = false;
    }
};

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

        const test::FlushedDenormals flushed;
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
        for (auto kernel : test::availableKernels())
        {
            for (float weight : { 1.0f, 0.37f })
            {
                amplitudesFor (kernel, gains.data(), weight, amplitudes.data(), (int) gains.size());
                for (size_t i = 0; i < gains.size(); ++i)
                {
                    const float g = gains[i] * weight;
                    ASSERT_EQ (bitsOf (amplitudes[i]), bitsOf (plainAmplitude (g)))
                        << BellBank::kernelName (kernel) << " weight " << weight << " gain " << g << " (" << std::hexfloat << g << ")";
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

    const test::FlushedDenormals flushed;
    check();
}

} // namespace
} // namespace vo::plugins::zel
