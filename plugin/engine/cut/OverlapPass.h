#pragma once

// One Gauss-Seidel pass of the overlap compensation, for the baseline build
// and for the kernels. Each translation unit includes this once and is
// compiled for its own instruction set, so everything here has internal
// linkage and calls nothing from the standard library (see bells/wavefront/WavefrontShape.h).
//
// Near is how a band's depth becomes what it takes out at the band just above,
// the one value each band waits for from the band below; every Near gives
// the same bits.

#include "cut/OverlapTables.h"

namespace vo::plugins::zel
{
namespace
{

template <typename Near>
struct OverlapPass
{
    typedef float Quad __attribute__ ((vector_size (16)));

    static constexpr int kReach = OverlapTables::kReach;
    static constexpr float kConvergedDb = 0.01f;

    static Quad load (const float* p) noexcept
    {
        Quad v;
        __builtin_memcpy (&v, p, sizeof (Quad));
        return v;
    }

    static Quad splat (float x) noexcept { return Quad { x, x, x, x }; }

    // What band n takes out at the four bands below it (farthest first) at the
    // gain it had before the pass, interpolated between the 1 dB steps.
    static Quad fromAbove (const OverlapTables& t, int n, float gain) noexcept
    {
        float depth = -gain;
        depth = depth < 0.0f ? 0.0f : depth; // std::clamp, signed zeros and all
        depth = kMaxCutDb < depth ? kMaxCutDb : depth;
        const int q = (int) depth;
        const float* row = t.below[n] + q * kReach;
        const Quad lower = load (row), upper = load (row + kReach);
        return lower + (upper - lower) * splat (depth - (float) q);
    }

    // Each band's cut is the wanted one less what its neighbours take out
    // there: the bands above first (nearest first, at their gains before the
    // pass), then the bands below from the lowest (at the gains this pass has
    // set), so that the band just set comes last. That last subtraction and
    // the lookup of the next band's share are all the pass waits on from one
    // band to the next.
    //
    // Bands beyond the ends take out exactly +0, and so does a flat bell
    // (every table entry at depth 0 is +0, whatever the sign of the zero
    // fraction); subtracting +0 changes nothing, so subtracting every
    // neighbour gives the bits of subtracting only the ones that cut.
    static bool run (const OverlapTables& t, const float* wanted, float* gains) noexcept
    {
        // Bands i ... i+3 while band i is worked out: their wanted cuts less
        // the bands above them taken so far. Band n's share goes in when band
        // n - 4 is worked out, before the pass reaches n and changes its gain.
        Quad window {};
        const auto slide = [&window, &t, wanted, gains] (int n)
        {
            if (n < kBandCount)
                window -= fromAbove (t, n, gains[n]);
            const float finished = window[0];
            window = __builtin_shufflevector (window, splat (n < kBandCount ? wanted[n] : 0.0f), 1, 2, 3, 4);
            return finished;
        };
        for (int n = 0; n < kReach; ++n)
            slide (n);

        // What the four bands below take out at the bands above them, the
        // nearest in e1; the nearest's share of the band just above, which
        // the chain waits for, comes from Near as x.
        Quad e1 {}, e2 {}, e3 {}, e4 {};
        float x = 0.0f;
        bool moved = false;

        for (int i = 0; i < kBandCount; ++i)
        {
            float rest = slide (i + kReach);
            const float c = wanted[i];
            const float old = gains[i];

            Quad e {};
            float near = 0.0f;
            if (c != 0.0f)
            {
                rest -= e4[3];
                rest -= e3[2];
                rest -= e2[1];

                // std::clamp (rest - x, -kMaxCutDb, 0.0f) and its negation, the
                // depth, with no negation on the chain: x - rest is -(rest - x)
                // exactly, but for a zero that comes out +0 where -0 was due,
                // which no row can tell apart (every entry at depth 0 is +0).
                // A NaN (which nothing upstream lets through) leaves the band
                // flat rather than reading outside the tables.
                const float v = rest - x;
                float g = v, depth = x - rest;
                if (v < -kMaxCutDb)
                {
                    g = -kMaxCutDb;
                    depth = kMaxCutDb;
                }
                else if (! (v <= 0.0f))
                {
                    g = 0.0f;
                    depth = 0.0f;
                }
                gains[i] = g;

                const float distance = g - old;
                moved |= (distance > kConvergedDb) | (-distance > kConvergedDb);

                Near::effects (t, i, depth, e, near);
            }
            else
            {
                gains[i] = 0.0f;
                moved |= old != 0.0f;
            }

            e4 = e3;
            e3 = e2;
            e2 = e1;
            e1 = e;
            x = near;
        }

        return moved;
    }
};

// What a band at `depth` takes out at the four bands above it, interpolated
// in its row; the nearest of them is the first.
struct RowNear
{
    static void effects (const OverlapTables& t, int band, float depth, OverlapPass<RowNear>::Quad& e, float& near) noexcept
    {
        using Pass = OverlapPass<RowNear>;
        const int q = (int) depth;
        const float* row = t.above[band] + q * OverlapTables::kSlopedRow;
        e = Pass::load (row) + Pass::load (row + OverlapTables::kReach) * Pass::splat (depth - (float) q);
        near = e[0];
    }
};

} // namespace
} // namespace vo::plugins::zel
