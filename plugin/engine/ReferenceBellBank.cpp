#include "ReferenceBellBank.h"

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

float ReferenceBellBank::runChain (const BellFilter* filters, BellState* states, float x) noexcept
{
    auto v = (double) x;

    for (int band = 0; band < kBandCount; ++band)
    {
        const auto& f = filters[band];
        auto& s = states[band];

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
    const BellFilter* setA = &control.getFilter (0);
    const BellFilter* setB = &control.getFilter (kBandCount);

    for (int i = 0; i < n; ++i)
    {
        if (control.isRamping())
            control.advanceRamps();

        if (x1 == nullptr)
        {
            const float y = runChain (setA, states.data(), x0[i]);
            if (write)
                x0[i] = y;
        }
        else if (midSide)
        {
            const float mid = (x0[i] + x1[i]) * 0.5f;
            const float side = (x0[i] - x1[i]) * 0.5f;
            const float midOut = runChain (setA, states.data(), mid);
            const float sideOut = runChain (setB, states.data() + kBandCount, side);
            if (write)
            {
                x0[i] = midOut + sideOut;
                x1[i] = midOut - sideOut;
            }
        }
        else
        {
            const float left = runChain (setA, states.data(), x0[i]);
            const float right = runChain (setB, states.data() + kBandCount, x1[i]);
            if (write)
            {
                x0[i] = left;
                x1[i] = right;
            }
        }
    }
}

} // namespace vo::plugins::zel
