#include "BellControl.h"

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
    flagsCurrent = false;
    clearChanged();
}

// Asked twice a tick: one pass without early exit, which vectorises.
bool BellControl::differs (const Amplitudes& a, const Amplitudes& b) noexcept
{
    int different = 0;
    for (int set = 0; set < kSetCount; ++set)
        for (int band = 0; band < kBandCount; ++band)
            different |= a[(size_t) set][(size_t) band] != b[(size_t) set][(size_t) band] ? 1 : 0;
    return different != 0;
}

void BellControl::landRamp (BellFilter& f) noexcept
{
    f.k = f.kTarget;
    f.m1 = f.m1Target;
    f.a1 = f.a1Target;
    f.a2 = f.g * f.a1;
    f.a3 = f.g * f.a2;
    f.dm1 = f.da1 = 0.0;
    f.ramping = false;
}

void BellControl::landAll() noexcept
{
    for (int i = 0; i < activeCount; ++i)
        landRamp (filters[activeList[(size_t) i]]);

    activeCount = 0;
}

void BellControl::resetFilters() noexcept
{
    landAll();

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
    flagsCurrent = true;
}

void BellControl::setBandGain (int filter, float amp) noexcept
{
    auto& f = filters[(size_t) filter];
    f.k = dampingFor (amp);
    f.m1 = bandPassMixFor (amp, f.k);
    f.a1 = a1For (f.g, f.k);
    f.a2 = f.a1 * f.g;
    f.a3 = f.a2 * f.g;
    markChanged (filter);
}

void BellControl::stopRamp (int filter) noexcept
{
    auto& f = filters[(size_t) filter];
    f.dm1 = f.da1 = 0.0;
    f.ramping = false;
    markChanged (filter);

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
void BellControl::startRamp (int filter, float amp) noexcept
{
    auto& f = filters[(size_t) filter];
    f.A = amp;
    f.kTarget = dampingFor (amp);
    f.m1Target = bandPassMixFor (amp, f.kTarget);
    f.a1Target = 1.0 / ((f.kTarget + f.g) * f.g + 1.0);
    f.dm1 = (f.m1Target - f.m1) / (double) kRampSamples;
    f.da1 = (f.a1Target - f.a1) / (double) kRampSamples;
    ++rampsStarted;
    markChanged (filter);

    if (! f.ramping)
    {
        f.ramping = true;
        activeList[(size_t) activeCount++] = (std::uint8_t) filter;
    }
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

    bool allUnity = true;

    for (int set = 0; set < kSetCount; ++set)
    {
        for (int band = 0; band < kBandCount; ++band)
        {
            const float target = amplitude[(size_t) set][(size_t) band];
            float& last = lastAmplitude[(size_t) set][(size_t) band];

            if (target != last)
            {
                const int index = set * kBandCount + band;
                auto& f = filters[(size_t) index];
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

                last = target;
            }

            if (target != 1.0f)
                allUnity = false;
        }
    }

    anyRamping = activeCount > 0;
    flat = allUnity && activeCount == 0;
    flagsCurrent = activeCount == 0;
    rampCounter = 0;
}

void BellControl::advanceRamps() noexcept
{
    if (++rampCounter >= kRampSamples)
    {
        landRamps();
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

void BellControl::landRamps() noexcept
{
    landAll();
    anyRamping = false;
}

void BellControl::markChanged (int filter) noexcept
{
    if (isChanged[(size_t) filter])
        return;

    isChanged[(size_t) filter] = true;
    changedList[(size_t) changedCount++] = (std::uint8_t) filter;
}

void BellControl::clearChanged() noexcept
{
    for (int i = 0; i < changedCount; ++i)
        isChanged[changedList[(size_t) i]] = false;
    changedCount = 0;
}

} // namespace vo::plugins::zel
