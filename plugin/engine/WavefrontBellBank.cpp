#include "WavefrontBellBank.h"

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

    using KernelFunction = void (*) (const BellRun&) noexcept;

    KernelFunction kernelFunction (BellKernel kernel) noexcept
    {
#if ZEL_BELL_KERNELS
        switch (kernel)
        {
            case BellKernel::sse2: return runBellsSse2;
            case BellKernel::avx2: return runBellsAvx2;
            case BellKernel::avx512: return runBellsAvx512;
            case BellKernel::scalar: break;
        }
#else
        (void) kernel;
#endif
        return nullptr;
    }
} // namespace

WavefrontBellBank::WavefrontBellBank()
{
    setKernel (bestKernel());
    prepareFilters (48000.0);
}

bool WavefrontBellBank::isAvailable (BellKernel k) noexcept
{
    if (k == BellKernel::scalar)
        return true;

#if ZEL_BELL_KERNELS
    __builtin_cpu_init();
    switch (k)
    {
        case BellKernel::sse2: return true;
        case BellKernel::avx2: return __builtin_cpu_supports ("avx2") != 0;
        case BellKernel::avx512: return __builtin_cpu_supports ("avx512f") != 0;
        case BellKernel::scalar: break;
    }
#endif
    return false;
}

BellKernel WavefrontBellBank::bestKernel() noexcept
{
    for (auto k : { BellKernel::avx512, BellKernel::avx2, BellKernel::sse2 })
        if (isAvailable (k))
            return k;
    return BellKernel::scalar;
}

const char* WavefrontBellBank::kernelName (BellKernel k) noexcept
{
    switch (k)
    {
        case BellKernel::scalar: return "scalar";
        case BellKernel::sse2: return "sse2";
        case BellKernel::avx2: return "avx2";
        case BellKernel::avx512: return "avx512";
    }
    return "?";
}

void WavefrontBellBank::setKernel (BellKernel newKernel) noexcept
{
    kernel = isAvailable (newKernel) ? newKernel : bestKernel();
    runKernel = kernelFunction (kernel);
    if (runKernel == nullptr)
        kernel = BellKernel::scalar;
    lanesStale = true;
}

void WavefrontBellBank::prepareFilters (double newSampleRate) noexcept
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

void WavefrontBellBank::landRamp (BellFilter& f) noexcept
{
    f.k = f.kTarget;
    f.m1 = f.m1Target;
    f.a1 = f.a1Target;
    f.a2 = f.g * f.a1;
    f.a3 = f.g * f.a2;
    f.dm1 = f.da1 = 0.0;
    f.ramping = false;
}

void WavefrontBellBank::resetStates() noexcept
{
    std::fill (std::begin (lanes.ic1), std::end (lanes.ic1), 0.0);
    std::fill (std::begin (lanes.ic2), std::end (lanes.ic2), 0.0);

    for (int i = 0; i < activeCount; ++i)
        landRamp (filters[activeList[(size_t) i]]);

    activeCount = 0;
    lanesStale = true;
}

void WavefrontBellBank::resetFilters() noexcept
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

void WavefrontBellBank::setBandGain (int filter, float amp) noexcept
{
    auto& f = filters[(size_t) filter];
    f.k = dampingFor (amp);
    f.m1 = bandPassMixFor (amp, f.k);
    f.a1 = a1For (f.g, f.k);
    f.a2 = f.a1 * f.g;
    f.a3 = f.a2 * f.g;
    writeLane (filter);
}

void WavefrontBellBank::stopRamp (int filter) noexcept
{
    auto& f = filters[(size_t) filter];
    f.dm1 = f.da1 = 0.0;
    f.ramping = false;
    writeRampLane (filter);

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
void WavefrontBellBank::startRamp (int filter, float amp) noexcept
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

    // The ramp starts from the coefficients the lanes already hold.
    writeRampLane (filter);
}

void WavefrontBellBank::applyAmplitudes (const Amplitudes& amplitude) noexcept
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

// The kernels recompute a2 and a3 from a1 whenever they step, and step every
// lane; a settled bell has zero increments and lands on its own values, which
// leaves it bit for bit where it is (a1 is never zero, m1 never -0).
void WavefrontBellBank::writeLane (int filter) noexcept
{
    const auto& f = filters[(size_t) filter];
    const auto lane = (size_t) laneOf (filter);
    lanes.g[lane] = f.g;
    lanes.a1[lane] = f.a1;
    lanes.a2[lane] = f.a2;
    lanes.a3[lane] = f.a3;
    lanes.m1[lane] = f.m1;
    writeRampLane (filter);
}

void WavefrontBellBank::writeRampLane (int filter) noexcept
{
    const auto& f = filters[(size_t) filter];
    const auto lane = (size_t) laneOf (filter);
    lanes.da1[lane] = f.ramping ? f.da1 : 0.0;
    lanes.dm1[lane] = f.ramping ? f.dm1 : 0.0;
    lanes.landA1[lane] = f.ramping ? f.a1Target : f.a1;
    lanes.landM1[lane] = f.ramping ? f.m1Target : f.m1;
}

void WavefrontBellBank::syncLanes() noexcept
{
    for (int i = 0; i < kFilterCount; ++i)
        writeLane (i);

    lanesStale = false;
}

void WavefrontBellBank::process (float* x0, float* x1, int n, bool midSide, bool write) noexcept
{
    if (runKernel == nullptr)
    {
        processScalar (x0, x1, n, midSide, write);
        return;
    }

    for (int done = 0; done < n;)
    {
        const int chunk = std::min (n - done, BellRun::kMaxSamples);
        processVector (x0 + done, x1 != nullptr ? x1 + done : nullptr, chunk, midSide, write);
        done += chunk;
    }
}

void WavefrontBellBank::processVector (float* x0, float* x1, int n, bool midSide, bool write) noexcept
{
    if (lanesStale)
        syncLanes();

    // The same ramp schedule as stepping the reference sample by sample: steps
    // until the counter reaches the ramp length, then one landing.
    BellRun run;
    run.lanes = &lanes;
    run.input = input.data() + BellRun::kPad;
    run.output = output.data();
    run.numSamples = n;

    if (anyRamping)
    {
        const int landAt = kRampSamples - 1 - rampCounter;
        if (landAt < n)
        {
            run.stepCount = landAt;
            run.landAt = landAt;
            rampCounter = kRampSamples;
        }
        else
        {
            run.stepCount = n;
            rampCounter += n;
        }
    }

    double* in = input.data() + BellRun::kPad;
    if (x1 == nullptr)
    {
        for (int i = 0; i < n; ++i)
        {
            in[2 * i] = (double) x0[i];
            in[2 * i + 1] = 0.0;
        }
    }
    else if (midSide)
    {
        for (int i = 0; i < n; ++i)
        {
            in[2 * i] = (double) ((x0[i] + x1[i]) * 0.5f);
            in[2 * i + 1] = (double) ((x0[i] - x1[i]) * 0.5f);
        }
    }
    else
    {
        for (int i = 0; i < n; ++i)
        {
            in[2 * i] = (double) x0[i];
            in[2 * i + 1] = (double) x1[i];
        }
    }

    // Mono runs set A only; set B's lanes ride along on silence and get their
    // states back afterwards.
    std::array<double, kBandCount> savedIc1, savedIc2;
    if (x1 == nullptr)
    {
        for (int b = 0; b < kBandCount; ++b)
        {
            savedIc1[(size_t) b] = lanes.ic1[2 * b + 1];
            savedIc2[(size_t) b] = lanes.ic2[2 * b + 1];
        }
    }

    runKernel (run);

    if (x1 == nullptr)
    {
        for (int b = 0; b < kBandCount; ++b)
        {
            lanes.ic1[2 * b + 1] = savedIc1[(size_t) b];
            lanes.ic2[2 * b + 1] = savedIc2[(size_t) b];
        }
    }

    if (run.stepCount > 0 || run.landAt >= 0)
    {
        for (int i = 0; i < activeCount; ++i)
        {
            const int filter = activeList[(size_t) i];
            auto& f = filters[(size_t) filter];
            const auto lane = (size_t) laneOf (filter);
            f.a1 = lanes.a1[lane];
            f.m1 = lanes.m1[lane];
            f.a2 = lanes.a2[lane];
            f.a3 = lanes.a3[lane];
        }

        if (run.landAt >= 0)
        {
            for (int i = 0; i < activeCount; ++i)
                landRamp (filters[activeList[(size_t) i]]);
            activeCount = 0;
            anyRamping = false;

            // The lanes have landed already, and land on themselves from now
            // on; only the increments go.
            std::fill (std::begin (lanes.da1), std::end (lanes.da1), 0.0);
            std::fill (std::begin (lanes.dm1), std::end (lanes.dm1), 0.0);
        }
    }

    if (! write)
        return;

    const double* out = output.data();
    if (x1 == nullptr)
    {
        for (int i = 0; i < n; ++i)
            x0[i] = (float) out[2 * i];
    }
    else if (midSide)
    {
        for (int i = 0; i < n; ++i)
        {
            const auto midOut = (float) out[2 * i];
            const auto sideOut = (float) out[2 * i + 1];
            x0[i] = midOut + sideOut;
            x1[i] = midOut - sideOut;
        }
    }
    else
    {
        for (int i = 0; i < n; ++i)
        {
            x0[i] = (float) out[2 * i];
            x1[i] = (float) out[2 * i + 1];
        }
    }
}

//==============================================================================
// The plain chain, for CPUs without a kernel and as the benchmark's baseline.

void WavefrontBellBank::advanceRamps() noexcept
{
    if (++rampCounter >= kRampSamples)
    {
        for (int i = 0; i < activeCount; ++i)
            landRamp (filters[activeList[(size_t) i]]);
        activeCount = 0;
        anyRamping = false;
        return;
    }

    for (int i = 0; i < activeCount; ++i)
    {
        auto& f = filters[activeList[(size_t) i]];
        f.a1 += f.da1;
        f.m1 += f.dm1;
        f.a2 = f.a1 * f.g;
        f.a3 = f.a2 * f.g;
    }
}

float WavefrontBellBank::runChain (int set, float x) noexcept
{
    auto v = (double) x;
    const int base = set * kBandCount;

    for (int band = 0; band < kBandCount; ++band)
    {
        const auto& f = filters[(size_t) (base + band)];
        const auto lane = (size_t) (2 * band + set);
        double& ic1eq = lanes.ic1[lane];
        double& ic2eq = lanes.ic2[lane];

        const double d = v - ic2eq;
        const double bp = f.a1 * ic1eq + f.a2 * d;
        const double lp = ic2eq + f.a2 * ic1eq + f.a3 * d;
        ic1eq = 2.0 * bp - ic1eq;
        ic2eq = 2.0 * lp - ic2eq;
        v = v + f.m1 * bp;
    }

    return (float) v;
}

void WavefrontBellBank::processScalar (float* x0, float* x1, int n, bool midSide, bool write) noexcept
{
    for (int i = 0; i < n; ++i)
    {
        if (anyRamping)
        {
            advanceRamps();
            lanesStale = true;
        }

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
