#pragma once

// The cut bank as it was first written: the bit-exact reference the equivalence
// tests hold the engine's CutBank to. Only tests and benchmarks link it.

#include "BandLayout.h"
#include "cut/CutBank.h"
#include "cut/OverlapCompensator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace vo::plugins::zel
{

// The cut bank written out band by band, one scalar at a time: the decision
// logic the bank must reproduce bit for bit, on the same bells and
// compensator.
class PlainCutBank
{
public:
    // The old bank's constants, as it wrote them.
    static constexpr float kSilenceDb = -100.0f;
    static constexpr float kGateClosedDb = -60.0f;
    static constexpr float kGateRangeDb = 24.0f;
    static constexpr float kReferenceCeilingDb = 40.0f;
    static constexpr float kReferenceFallDbPerSecond = 40.0f;
    static constexpr float kFollowSeconds = 0.005f;
    static constexpr float kFollowSnapDb = 0.01f;
    static constexpr float kWeightSnap = 0.001f;
    static constexpr int kMaxSpread = 4;
    static constexpr int kTickSamples = 32;
    static constexpr double kLn10Over40 = 0.057564627324851146;

    // A bell's amplitude for a gain in dB, straight from std::exp.
    static float plainAmplitude (float p) { return p == 0.0f ? 1.0f : (float) std::exp ((double) p * kLn10Over40); }

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
    static std::uint32_t bitsOf (float x)
    {
        std::uint32_t u;
        std::memcpy (&u, &x, sizeof u);
        return u;
    }

    template <typename Array>
    static bool sameBits (const Array& a, const Array& b)
    {
        return a.size() == b.size() && std::memcmp (a.data(), b.data(), sizeof (a[0]) * a.size()) == 0;
    }

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

} // namespace vo::plugins::zel
