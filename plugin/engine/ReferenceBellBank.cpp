#include "ReferenceBellBank.h"

#include <algorithm>
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

    double a1For (double g, double k) noexcept { return 1.0 / ((g + k) * g + 1.0); }
} // namespace

ReferenceBellBank::ReferenceBellBank()
{
    prepareFilters (48000.0);
}

void ReferenceBellBank::prepareFilters (double newSampleRate) noexcept
{
    sampleRate = newSampleRate > 1.0 ? newSampleRate : 48000.0;

    for (int set = 0; set < kSetCount; ++set)
    {
        for (int band = 0; band < kBandCount; ++band)
        {
            auto& f = filters[(size_t) (set * kBandCount + band)];
            f.g = std::tan (std::numbers::pi * bellCentreHz (band, sampleRate) / sampleRate);
            f.k = f.kTarget = 1.0 / (double) kBellQ;
            f.m1 = f.m1Target = 0.0;
            f.a1 = f.a1Target = a1For (f.g, f.k);
            f.a2 = f.a1 * f.g;
            f.a3 = f.a2 * f.g;
            f.A = 1.0f;
            f.dm1 = f.da1 = 0.0;
            f.ramping = false;
        }
    }

    for (auto& set : lastAmplitude)
        set.fill (1.0f);

    activeCount = 0;
    resetStates();
}

void ReferenceBellBank::landRamp (BellFilter& f) noexcept
{
    f.k = f.kTarget;
    f.m1 = f.m1Target;
    f.a1 = f.a1Target;
    f.a2 = f.g * f.a1;
    f.a3 = f.g * f.a2;
    f.dm1 = f.da1 = 0.0;
    f.ramping = false;
}

void ReferenceBellBank::resetStates() noexcept
{
    states.fill (BellState {});

    for (int i = 0; i < activeCount; ++i)
        landRamp (filters[activeList[(size_t) i]]);

    activeCount = 0;
}

void ReferenceBellBank::resetFilters() noexcept
{
    resetStates();

    for (auto& set : lastAmplitude)
        set.fill (1.0f);

    for (int i = 0; i < kFilterCount; ++i)
    {
        auto& f = filters[(size_t) i];
        if (f.A != 1.0f || f.ramping)
        {
            f.dm1 = f.da1 = 0.0;
            f.ramping = false;
            f.A = 1.0f;
            setBandGain (i, 1.0f);
        }
    }

    rampCounter = kRampSamples;
    anyRamping = false;
    flat = true;
}

void ReferenceBellBank::setBandGain (int filter, float amp) noexcept
{
    auto& f = filters[(size_t) filter];
    f.k = dampingFor (amp);
    f.m1 = bandPassMixFor (amp, f.k);
    f.a1 = a1For (f.g, f.k);
    f.a2 = f.a1 * f.g;
    f.a3 = f.a2 * f.g;
}

void ReferenceBellBank::stopRamp (int filter) noexcept
{
    auto& f = filters[(size_t) filter];
    f.dm1 = f.da1 = 0.0;
    f.ramping = false;

    for (int i = 0; i < activeCount; ++i)
    {
        if (activeList[(size_t) i] == (std::uint8_t) filter)
        {
            activeList[(size_t) i] = activeList[(size_t) (activeCount - 1)];
            --activeCount;
            break;
        }
    }
}

// Retargets from wherever the coefficients are now, so a bell that changes again
// mid-ramp glides on without a jump.
void ReferenceBellBank::startRamp (int filter, float amp) noexcept
{
    auto& f = filters[(size_t) filter];
    f.A = amp;
    f.kTarget = dampingFor (amp);
    f.m1Target = bandPassMixFor (amp, f.kTarget);
    f.a1Target = 1.0 / ((f.kTarget + f.g) * f.g + 1.0);
    f.dm1 = (f.m1Target - f.m1) / (double) kRampSamples;
    f.da1 = (f.a1Target - f.a1) / (double) kRampSamples;
    ++rampsStarted;

    if (! f.ramping)
    {
        f.ramping = true;
        activeList[(size_t) activeCount++] = (std::uint8_t) filter;
    }
}

void ReferenceBellBank::applyAmplitudes (const Amplitudes& amplitude) noexcept
{
    bool allUnity = true;

    for (int set = 0; set < kSetCount; ++set)
    {
        for (int band = 0; band < kBandCount; ++band)
        {
            const float target = amplitude[(size_t) set][(size_t) band];
            float& last = lastAmplitude[(size_t) set][(size_t) band];
            const int index = set * kBandCount + band;
            auto& f = filters[(size_t) index];

            if (target != last)
            {
                const bool alreadyThere = f.A == target && ! f.ramping;

                if (std::abs (target - last) < 1e-4f)
                {
                    // Too small to hear a step: apply at once and drop any ramp.
                    if (! alreadyThere)
                    {
                        if (f.ramping)
                            stopRamp (index);
                        f.A = target;
                        setBandGain (index, target);
                    }
                }
                else if (! alreadyThere)
                {
                    startRamp (index, target);
                }
            }

            last = target;
            if (target != 1.0f)
                allUnity = false;
        }
    }

    anyRamping = activeCount > 0;
    flat = allUnity && activeCount == 0;
    rampCounter = 0;
}

void ReferenceBellBank::advanceRamps() noexcept
{
    if (++rampCounter >= kRampSamples)
    {
        for (int i = 0; i < activeCount; ++i)
            landRamp (filters[activeList[(size_t) i]]);
        activeCount = 0;
        anyRamping = false;
        return;
    }

    // k is only needed again when the ramp lands; the chain does not use it.
    for (int i = 0; i < activeCount; ++i)
    {
        auto& f = filters[activeList[(size_t) i]];
        f.a1 += f.da1;
        f.m1 += f.dm1;
        f.a2 = f.a1 * f.g;
        f.a3 = f.a2 * f.g;
    }
}

float ReferenceBellBank::runChain (int set, float x) noexcept
{
    auto v = (double) x;
    const int base = set * kBandCount;

    for (int band = 0; band < kBandCount; ++band)
    {
        const auto& f = filters[(size_t) (base + band)];
        auto& s = states[(size_t) (base + band)];

        const double d = v - s.ic2eq;
        const double bp = f.a1 * s.ic1eq + f.a2 * d;
        const double lp = s.ic2eq + f.a2 * s.ic1eq + f.a3 * d;
        s.ic1eq = 2.0 * bp - s.ic1eq;
        s.ic2eq = 2.0 * lp - s.ic2eq;
        v = v + f.m1 * bp;
    }

    return (float) v;
}

void ReferenceBellBank::process (float* x0, float* x1, int n, bool midSide, bool write) noexcept
{
    for (int i = 0; i < n; ++i)
    {
        if (anyRamping)
            advanceRamps();

        if (x1 == nullptr)
        {
            const float y = runChain (0, x0[i]);
            if (write)
                x0[i] = y;
        }
        else if (midSide)
        {
            const float mid = (x0[i] + x1[i]) * 0.5f;
            const float side = (x0[i] - x1[i]) * 0.5f;
            const float midOut = runChain (0, mid);
            const float sideOut = runChain (1, side);
            if (write)
            {
                x0[i] = midOut + sideOut;
                x1[i] = midOut - sideOut;
            }
        }
        else
        {
            const float left = runChain (0, x0[i]);
            const float right = runChain (1, x1[i]);
            if (write)
            {
                x0[i] = left;
                x1[i] = right;
            }
        }
    }
}

} // namespace vo::plugins::zel
