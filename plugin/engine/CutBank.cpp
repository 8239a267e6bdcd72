#include "CutBank.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

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
    constexpr double kLn10Over40 = 0.057564627324851146;

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
        notConverged = overlap.compensate (followed, gains);
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

        const bool inRange = b >= bandLow && b <= bandHigh;
        spread[(size_t) b] = inRange ? v : 0.0f;
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

    bool changed = false;
    bool onTarget = true;

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

        onTarget = onTarget && sameBits (f, v);

        const float basis = gainsBasis[(size_t) b];
        if (std::abs (f - basis) > kFollowSnapDb || (f == 0.0f && basis != 0.0f))
            changed = true;
    }

    followSettled = onTarget && ! changed;
    followAmount = amount;
    return changed;
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

void CutBank::updateAmplitudes() noexcept
{
    if (! gainsDirty)
        return;

    gainsDirty = false;

    for (int b = 0; b < kBandCount; ++b)
    {
        if (! forceApply && gains[(size_t) b] == appliedGains[(size_t) b])
            continue;

        appliedGains[(size_t) b] = gains[(size_t) b];

        // Centred, both sets get the same product: one exp serves both.
        const auto amplitudeFor = [] (float p) { return p == 0.0f ? 1.0f : (float) std::exp ((double) p * kLn10Over40); };
        const float pA = gains[(size_t) b] * weight[kSetA];
        const float pB = gains[(size_t) b] * weight[kSetB];
        const float a = amplitudeFor (pA);
        amplitude[kSetA][(size_t) b] = a;
        amplitude[kSetB][(size_t) b] = sameBits (pA, pB) ? a : amplitudeFor (pB);
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
