#include "cut/CutBank.h"

#include "cut/CutAmplitude.h"
#include "FloatQuad.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace vo::plugins::zel
{

namespace
{
    constexpr float kSilenceDb = -100.0f;
    constexpr float kGateClosedDb = -60.0f;   // no cut at or below this peak
    constexpr float kGateRangeDb = 24.0f;     // full cut from -36 dB up
    constexpr float kReferenceCeilingDb = 40.0f;
    constexpr float kReferenceFallDbPerSecond = 40.0f;
    constexpr float kFollowSeconds = 0.005f;
    constexpr float kFollowSnapDb = 0.01f;
    constexpr float kWeightSnap = 0.001f;
    constexpr int kMaxSpread = 4;

    // The per-tick passes run four bands side by side.
    using quad::any;
    using quad::kLanes;
    using quad::load;
    using quad::Quad;
    using quad::Quad32;
    using quad::splat;
    using quad::splat32;
    using quad::store;
    static_assert (kBandCount % kLanes == 0);

    // std::abs, which only clears the sign bit.
    Quad magnitude (Quad v) noexcept { return (Quad) ((Quad32) v & splat32 (0x7fffffff)); }

    bool sameBits (float a, float b) noexcept { return std::bit_cast<std::uint32_t> (a) == std::bit_cast<std::uint32_t> (b); }

    bool sameBits (const CutBank::Curve& a, const CutBank::Curve& b) noexcept
    {
        return std::memcmp (a.data(), b.data(), sizeof (float) * a.size()) == 0;
    }

    // Bands whose centre lies inside [lowCutHz, highCutHz] may be cut.
    int firstBandAtOrAbove (float hz) noexcept
    {
        for (int b = 0; b < kBandCount; ++b)
            if (bandCentreHz (b) >= hz)
                return b;
        return kBandCount;
    }

    int lastBandAtOrBelow (float hz) noexcept
    {
        for (int b = kBandCount - 1; b >= 0; --b)
            if (bandCentreHz (b) <= hz)
                return b;
        return -1;
    }
} // namespace

CutBank::CutBank()
{
    for (auto& set : amplitude)
        set.fill (1.0f);
}

void CutBank::prepareFilters (double sampleRate) noexcept
{
    bells.prepareFilters (sampleRate);
}

void CutBank::prepareCut (double sampleRate, int analysisHop) noexcept
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

void CutBank::reset() noexcept
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

void CutBank::setAttackRelease (float newAttackMs, float newReleaseMs) noexcept
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

void CutBank::setAmount (float newAmount) noexcept { amount = std::clamp (newAmount, 0.0f, 1.0f); }

void CutBank::setSmooth (float newSmooth) noexcept { smooth = std::clamp (newSmooth, 0.0f, 1.0f); }

void CutBank::setRange (float newLowCutHz, float newHighCutHz) noexcept
{
    lowCutHz = newLowCutHz;
    highCutHz = newHighCutHz;

    const int low = firstBandAtOrAbove (lowCutHz);
    const int high = lastBandAtOrBelow (highCutHz);

    // A different range has a different loudest band; start its reference fresh.
    if (low != bandLow || high != bandHigh)
        resetReference = true;

    bandLow = low;
    bandHigh = high;
}

void CutBank::setPanAndMode (float newPan, int mode) noexcept
{
    newPan = std::clamp (newPan, -1.0f, 1.0f);
    mode = mode == kModeMidSide ? kModeMidSide : 0;

    if (mode == requestedMode && newPan == pan)
        return;

    pan = newPan;
    weightTarget[kSetA] = pan <= 0.0f ? 1.0f : 1.0f - pan;
    weightTarget[kSetB] = pan >= 0.0f ? 1.0f : 1.0f + pan;
    gainsDirty = forceApply = true;

    if (mode == requestedMode)
        return;

    requestedMode = mode;

    // With a cut in place the switch waits: the cut fades out, the mode
    // switches on clean states, and the cut fades back in.
    if (bells.isFlat())
        makeModeActive();
    else
        modePending = true;
}

void CutBank::setLevels (const Curve& newLevelsDb) noexcept
{
    levels = newLevelsDb;
    newLevels = true;
}

void CutBank::loadCutCurve (const float* curve) noexcept
{
    for (int b = 0; b < kBandCount; ++b)
    {
        const float v = curve[b];
        const float value = std::isnan (v) ? 0.0f : std::clamp (v, -kMaxCutDb, 0.0f);
        held[(size_t) b] = value;
        ballistics[(size_t) b].value = value;
    }
}

void CutBank::processBank (float* ch0, float* ch1, int numChannels, int numSamples, bool apply) noexcept
{
    queueBank (ch0, ch1, numChannels, numSamples, apply);
    bells.flush();
}

void CutBank::queueBank (float* ch0, float* ch1, int numChannels, int numSamples, bool apply) noexcept
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
        const bool write = apply && ! passThrough;
        const bool midSide = activeMode == kModeMidSide && second != nullptr;

        bells.enqueue (ch0 + done, second != nullptr ? second + done : nullptr, n, midSide, write);

        tickCounter += n;
        done += n;
    }
}

void CutBank::updateCut() noexcept
{
    if (newLevels)
        updateTarget();

    if (! frozen)
        runBallistics();

    const bool spreadMoved = spreadCut();

    if (followScaledCut (spreadMoved) || notConverged)
    {
        gainsBasis = followed;
        followSettled = false;
        notConverged = overlap.compensate (bells.getKernels(), followed, gains);
        gainsDirty = true;
    }

    followWeights();
    updateAmplitudes();

    bells.applyAmplitudes (amplitude);
    silentAndFlat = silent && bells.isFlat();

    switchModeWhenFlat();
}

// The loudest in-range band sets a peak-held reference; each band's target is
// proportional to how close it comes to that reference, scaled by a gate that
// opens between -60 and -36 dB.
void CutBank::updateTarget() noexcept
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

void CutBank::runBallistics() noexcept
{
    for (int b = 0; b < kBandCount; ++b)
        held[(size_t) b] = ballistics[(size_t) b].step (target[(size_t) b]);
}

// Each band takes the deepest of its own cut and its neighbours' cuts weighted
// down with distance; cuts never add up. Returns whether the spread may differ
// from the last tick's.
bool CutBank::spreadCut() noexcept
{
    if (spreadKnown && sameBits (smooth, spreadSmooth) && bandLow == spreadLow && bandHigh == spreadHigh
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

    // Neighbours count up to the first weight that is not positive.
    int reach = 0;
    while (reach < kMaxSpread && w[(size_t) (reach + 1)] > 0.0f)
        ++reach;

    // Bands beyond the ends never win: a positive weight times +inf is +inf,
    // which is never less than a cut.
    constexpr float never = std::numeric_limits<float>::infinity();
    std::array<float, kMaxSpread + kBandCount + kMaxSpread> padded;
    std::fill_n (padded.begin(), kMaxSpread, never);
    std::copy (held.begin(), held.end(), padded.begin() + kMaxSpread);
    std::fill_n (padded.end() - kMaxSpread, kMaxSpread, never);

    const Quad32 low = splat32 (bandLow), high = splat32 (bandHigh);

    for (int first = 0; first < kBandCount; first += kLanes)
    {
        const float* centre = padded.data() + kMaxSpread + first;
        Quad v = load (centre);
        for (int k = 1; k <= reach; ++k)
        {
            const Quad wk = splat (w[(size_t) k]);
            const Quad below = wk * load (centre - k), above = wk * load (centre + k);
            v = below < v ? below : v; // std::min (v, below)
            v = above < v ? above : v;
        }

        const Quad32 band = splat32 (first) + Quad32 { 0, 1, 2, 3 };
        const Quad32 inRange = (band >= low) & (band <= high);
        store (spread.data() + first, inRange ? v : Quad {});
    }

    return true;
}

// Amount, clamp and the 5 ms follower; returns whether any band moved enough
// to need a new compensation pass. Once the follower sits exactly on its input
// and nothing needed compensating, the same input gives the same answer.
bool CutBank::followScaledCut (bool spreadMoved) noexcept
{
    if (followSettled && ! spreadMoved && sameBits (amount, followAmount))
        return false;

    const Quad scale = splat (amount), deepest = splat (-kMaxCutDb), coeff = splat (followCoeff);
    const Quad snap = splat (kFollowSnapDb), zero {};
    Quad32 changed {}, offTarget {};

    for (int first = 0; first < kBandCount; first += kLanes)
    {
        // std::clamp (x, -kMaxCutDb, 0.0f), signed zeros and NaN alike.
        const Quad x = scale * load (spread.data() + first);
        const Quad below = zero < x ? zero : x;
        const Quad v = x < deepest ? deepest : below;
        store (scaled.data() + first, v);

        const Quad f = load (followed.data() + first);
        const Quad d = v - f;
        const Quad next = magnitude (d) < snap ? v : f + d * coeff;
        store (followed.data() + first, next);
        offTarget |= (Quad32) next != (Quad32) v; // ! sameBits (next, v)

        const Quad basis = load (gainsBasis.data() + first);
        changed |= (magnitude (next - basis) > snap) | ((next == zero) & (basis != zero));
    }

    followSettled = ! any (offTarget) && ! any (changed);
    followAmount = amount;
    return any (changed);
}

// While a mode change waits, both weights head to 0 so the cut fades out.
void CutBank::followWeights() noexcept
{
    if (! weightsStarted)
    {
        weight = weightTarget;
        weightsStarted = true;
        return;
    }

    for (int set = kSetA; set <= kSetB; ++set)
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

// Only the bands whose gain changed take new amplitudes, unless a weight
// changed too. The exps run for every band at once: in the bank's widest
// vectors that costs less than picking out the bands that changed.
void CutBank::updateAmplitudes() noexcept
{
    if (! gainsDirty)
        return;

    gainsDirty = false;

    const Quad32 everyBand = splat32 (forceApply ? -1 : 0);

    // Centred, both sets get the same products: one exp serves both.
    const bool centred = sameBits (weight[kSetA], weight[kSetB]);
    const EngineKernels& kernels = bells.getKernels();
    alignas (16) std::array<float, kBandCount> forA, forB;
    amplitudesFor (kernels, gains.data(), weight[kSetA], forA.data(), kBandCount);
    if (! centred)
        amplitudesFor (kernels, gains.data(), weight[kSetB], forB.data(), kBandCount);
    const float* const newB = centred ? forA.data() : forB.data();

    for (int first = 0; first < kBandCount; first += kLanes)
    {
        const Quad g = load (gains.data() + first), applied = load (appliedGains.data() + first);
        const Quad32 update = everyBand | (g != applied);
        if (! any (update))
            continue;

        store (appliedGains.data() + first, update ? g : applied);

        float* const setA = amplitude[kSetA].data() + first;
        float* const setB = amplitude[kSetB].data() + first;
        store (setA, update ? load (forA.data() + first) : load (setA));
        store (setB, update ? load (newB + first) : load (setB));
    }

    forceApply = false;
}

void CutBank::switchModeWhenFlat() noexcept
{
    if (! modePending || ! bells.isFlat())
        return;

    makeModeActive();
    gainsDirty = forceApply = true;
}

void CutBank::makeModeActive() noexcept
{
    bells.resetStates();
    activeMode = requestedMode;
    modePending = false;
}

} // namespace vo::plugins::zel
