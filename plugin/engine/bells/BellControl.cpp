#include "bells/BellControl.h"

#include <cmath>
#include <numbers>

namespace vo::plugins::zel
{

namespace
{
    double dampingFor (float amp) noexcept { return 1.0 / ((double) amp * (double) kBellQ); }

    // Exactly zero at unity so that a flat bell passes samples bit for bit.
    double bandPassMixFor (float amp, double k) noexcept
    {
        return amp == 1.0f ? 0.0 : ((double) amp * (double) amp - 1.0) * k;
    }

    // g + k and k + g are the same bits, so ramps and direct settings share this.
    double a1For (double g, double k) noexcept { return 1.0 / ((g + k) * g + 1.0); }
} // namespace

BellControl::BellControl()
{
    prepare (48000.0);
}

void BellControl::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate > 1.0 ? newSampleRate : 48000.0;

    for (int set = 0; set < kSetCount; ++set)
    {
        for (int band = 0; band < kBandCount; ++band)
        {
            const auto i = (size_t) (set * kBandCount + band);
            bells.g[i] = std::tan (std::numbers::pi * bellCentreHz (band, sampleRate) / sampleRate);
            bells.k[i] = bells.kTarget[i] = 1.0 / (double) kBellQ;
            bells.m1[i] = bells.m1Target[i] = 0.0;
            bells.a1[i] = bells.a1Target[i] = a1For (bells.g[i], bells.k[i]);
            bells.a2[i] = bells.a1[i] * bells.g[i];
            bells.a3[i] = bells.a2[i] * bells.g[i];
            bells.A[i] = 1.0f;
            bells.dm1[i] = bells.da1[i] = 0.0;
            bells.ramping[i] = false;
        }
    }

    lastAmplitude.fill (1.0f);
    activeCount = 0;
    flagsCurrent = false;
    clearChanged();
}

BellFilter BellControl::getFilter (int filter) const noexcept
{
    const auto i = (size_t) filter;
    BellFilter f;
    f.g = bells.g[i];
    f.k = bells.k[i];
    f.m1 = bells.m1[i];
    f.a1 = bells.a1[i];
    f.a2 = bells.a2[i];
    f.a3 = bells.a3[i];
    f.A = bells.A[i];
    f.dm1 = bells.dm1[i];
    f.da1 = bells.da1[i];
    f.kTarget = bells.kTarget[i];
    f.m1Target = bells.m1Target[i];
    f.a1Target = bells.a1Target[i];
    f.ramping = bells.ramping[i];
    return f;
}

void BellControl::landAll() noexcept
{
    if (activeCount == 0)
        return;

    if (landPass != nullptr)
        landPass (bells);
    else
        landPlainly();

    activeCount = 0;
}

void BellControl::landPlainly() noexcept
{
    for (size_t i = 0; i < (size_t) kFilterCount; ++i)
    {
        if (! bells.ramping[i])
            continue;

        bells.k[i] = bells.kTarget[i];
        bells.m1[i] = bells.m1Target[i];
        bells.a1[i] = bells.a1Target[i];
        bells.a2[i] = bells.g[i] * bells.a1[i];
        bells.a3[i] = bells.g[i] * bells.a2[i];
        bells.dm1[i] = bells.da1[i] = 0.0;
        bells.ramping[i] = false;
    }
}

void BellControl::resetFilters() noexcept
{
    landAll();
    lastAmplitude.fill (1.0f);

    for (int i = 0; i < kFilterCount; ++i)
    {
        if (bells.A[(size_t) i] != 1.0f || bells.ramping[(size_t) i])
        {
            bells.dm1[(size_t) i] = bells.da1[(size_t) i] = 0.0;
            bells.ramping[(size_t) i] = false;
            bells.A[(size_t) i] = 1.0f;
            setBandGain (i, 1.0f);
        }
    }

    rampCounter = kRampSamples;
    anyRamping = false;
    flat = true;
    flagsCurrent = true;
}

void BellControl::setBandGain (int filter, float amp) noexcept
{
    const double k = dampingFor (amp);
    setCoefficients (filter, k, bandPassMixFor (amp, k), a1For (bells.g[(size_t) filter], k));
}

void BellControl::setCoefficients (int filter, double k, double m1, double a1) noexcept
{
    const auto i = (size_t) filter;
    bells.k[i] = k;
    bells.m1[i] = m1;
    bells.a1[i] = a1;
    bells.a2[i] = a1 * bells.g[i];
    bells.a3[i] = bells.a2[i] * bells.g[i];
    markChanged (filter);
}

void BellControl::stopRamp (int filter) noexcept
{
    const auto i = (size_t) filter;
    bells.dm1[i] = bells.da1[i] = 0.0;
    bells.ramping[i] = false;
    --activeCount;
    markChanged (filter);
}

// Retargets from wherever the coefficients are now, so a bell that changes again
// mid-ramp glides on without a jump.
void BellControl::startRamp (int filter, float amp, double kTarget, double m1Target, double a1Target) noexcept
{
    const auto i = (size_t) filter;
    bells.A[i] = amp;
    bells.kTarget[i] = kTarget;
    bells.m1Target[i] = m1Target;
    bells.a1Target[i] = a1Target;
    bells.dm1[i] = (m1Target - bells.m1[i]) / (double) kRampSamples;
    bells.da1[i] = (a1Target - bells.a1[i]) / (double) kRampSamples;
    markChanged (filter);

    if (! bells.ramping[i])
    {
        bells.ramping[i] = true;
        ++activeCount;
    }
}

// Asked twice a tick: one pass without early exit, which vectorises.
bool BellControl::differs (const Amplitudes& amplitude) const noexcept
{
    int different = 0;
    for (int set = 0; set < kSetCount; ++set)
        for (int band = 0; band < kBandCount; ++band)
            different |= amplitude[(size_t) set][(size_t) band] != lastAmplitude[(size_t) (set * kBandCount + band)] ? 1 : 0;
    return different != 0;
}

void BellControl::applyAmplitudes (const Amplitudes& amplitude) noexcept
{
    // The common tick: nothing moves, and the flags already say so (flat was
    // worked out from these very amplitudes).
    if (! changesAnything (amplitude))
    {
        rampCounter = 0;
        return;
    }

    std::array<float, kFilterCount> target;
    for (int set = 0; set < kSetCount; ++set)
        for (int band = 0; band < kBandCount; ++band)
            target[(size_t) (set * kBandCount + band)] = amplitude[(size_t) set][(size_t) band];

    if (amplitudePass != nullptr)
    {
        BellAmplitudeStep step { &bells, lastAmplitude.data(), target.data(), 0, 0, 0, false };
        amplitudePass (step);
        changed |= step.changed;
        rampsStarted += (std::uint64_t) step.started;
        activeCount = step.active;
        flat = step.allUnity && activeCount == 0;
    }
    else
    {
        applyPlainly (target);
    }

    anyRamping = activeCount > 0;
    flagsCurrent = activeCount == 0;
    rampCounter = 0;
}

void BellControl::applyPlainly (const std::array<float, kFilterCount>& target) noexcept
{
    bool allUnity = true;

    for (int i = 0; i < kFilterCount; ++i)
    {
        const float t = target[(size_t) i];
        float& last = lastAmplitude[(size_t) i];

        if (t != last)
        {
            const bool alreadyThere = bells.A[(size_t) i] == t && ! bells.ramping[(size_t) i];

            if (std::abs (t - last) < 1e-4f)
            {
                // Too small to hear a step: apply at once and drop any ramp.
                if (! alreadyThere)
                {
                    if (bells.ramping[(size_t) i])
                        stopRamp (i);
                    bells.A[(size_t) i] = t;
                    setBandGain (i, t);
                }
            }
            else if (! alreadyThere)
            {
                const double k = dampingFor (t);
                startRamp (i, t, k, bandPassMixFor (t, k), a1For (bells.g[(size_t) i], k));
                ++rampsStarted;
            }

            last = t;
        }

        allUnity = allUnity && t == 1.0f;
    }

    flat = allUnity && activeCount == 0;
}

void BellControl::advanceRamps() noexcept
{
    if (++rampCounter >= kRampSamples)
    {
        landRamps();
        return;
    }

    // k is only needed again when the ramp lands; the chain does not use it.
    for (size_t i = 0; i < (size_t) kFilterCount; ++i)
    {
        if (! bells.ramping[i])
            continue;

        bells.a1[i] += bells.da1[i];
        bells.m1[i] += bells.dm1[i];
        bells.a2[i] = bells.a1[i] * bells.g[i];
        bells.a3[i] = bells.a2[i] * bells.g[i];
    }
}

void BellControl::landRamps() noexcept
{
    landAll();
    anyRamping = false;
}

} // namespace vo::plugins::zel
