#include "reference/ReferenceBellBank.h"

namespace vo::plugins::zel
{

ReferenceBellBank::ReferenceBellBank()
{
    prepareFilters (48000.0);
}

void ReferenceBellBank::prepareFilters (double newSampleRate) noexcept
{
    control.prepare (newSampleRate);
    resetStates();
}

void ReferenceBellBank::resetStates() noexcept
{
    states.fill (BellState {});
    control.landAll();
}

void ReferenceBellBank::resetFilters() noexcept
{
    resetStates();
    control.resetFilters();
}

float ReferenceBellBank::runChain (const BellRecords& bells, int set, BellState* states, float x) noexcept
{
    auto v = (double) x;

    for (int band = 0; band < kBandCount; ++band)
    {
        const auto i = (size_t) (set * kBandCount + band);
        auto& s = states[band];

        const double d = v - s.ic2eq;
        const double bp = bells.a1[i] * s.ic1eq + bells.a2[i] * d;
        const double lp = s.ic2eq + bells.a2[i] * s.ic1eq + bells.a3[i] * d;
        s.ic1eq = 2.0 * bp - s.ic1eq;
        s.ic2eq = 2.0 * lp - s.ic2eq;
        v = v + bells.m1[i] * bp;
    }

    return (float) v;
}

void ReferenceBellBank::process (float* x0, float* x1, int n, bool midSide, bool write) noexcept
{
    const BellRecords& bells = control.records();

    for (int i = 0; i < n; ++i)
    {
        if (control.isRamping())
            control.advanceRamps();

        if (x1 == nullptr)
        {
            const float y = runChain (bells, 0, states.data(), x0[i]);
            if (write)
                x0[i] = y;
        }
        else if (midSide)
        {
            const float mid = (x0[i] + x1[i]) * 0.5f;
            const float side = (x0[i] - x1[i]) * 0.5f;
            const float midOut = runChain (bells, 0, states.data(), mid);
            const float sideOut = runChain (bells, 1, states.data() + kBandCount, side);
            if (write)
            {
                x0[i] = midOut + sideOut;
                x1[i] = midOut - sideOut;
            }
        }
        else
        {
            const float left = runChain (bells, 0, states.data(), x0[i]);
            const float right = runChain (bells, 1, states.data() + kBandCount, x1[i]);
            if (write)
            {
                x0[i] = left;
                x1[i] = right;
            }
        }
    }
}

} // namespace vo::plugins::zel
