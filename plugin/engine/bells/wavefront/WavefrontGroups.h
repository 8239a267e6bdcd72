#pragma once

// The group paths: G rows of a few neighbouring vectors with their states in
// registers, specialised for how the coefficients move (see WavefrontShape.h),
// and the choice of the cheapest path that is exact for every lane.

#include "bells/wavefront/WavefrontShape.h"

namespace vo::plugins::zel
{
namespace
{

// G consecutive iterations of B neighbouring vectors p ... p+B-1, their
// states and coefficients held in registers. Vector p+b runs rows
// firstRow - b*G onwards. Iteration r of a vector takes the output of the
// vector below from iteration r - 1 (below[r] for the lowest vector), and
// the highest vector leaves its previous outputs in carry[r] for the
// vector above. Within an iteration the B vectors are independent, which
// keeps the core busy while each waits for its own previous iteration.
// Edge groups contain samples outside the run: those lanes keep their
// states. Top: the highest vector is the last band pair, whose outputs
// are the cascade's. Vector p + b's plan is plan[-b * stride] (all vectors
// share one plan in runs of a single segment).
template <int W>
template <typename Wavefront<W>::Motion M, bool Edge, bool Top, int B>
__attribute__ ((always_inline)) inline void Wavefront<W>::group (const Frame& f, int p, int firstRow, const Vec* below, Vec* self, Vec* carry,
                                                                const Plan* plans, int stride) noexcept
{
    const auto plan = [plans, stride] (int b) -> const Plan& {
        if constexpr (kMultiTick)
            return plans[-b * stride];

        (void) b;
        (void) stride;
        return *plans;
    };
    BellLanes& lanes = *f.lanes;

    constexpr auto kB = (unsigned) B;
    Vec ic1[kB], ic2[kB], a1[kB], a2[kB], a3[kB], m1[kB], out[kB];
    [[maybe_unused]] Vec g[kB], da1[kB], dm1[kB], landA1[kB], landM1[kB], nextDa1[kB], nextDm1[kB];

#pragma GCC unroll 8
    for (int b = 0; b < B; ++b)
    {
        const int o = (p + b) * W;
        ic1[b] = load (lanes.ic1 + o);
        ic2[b] = load (lanes.ic2 + o);
        a1[b] = load (lanes.a1 + o);
        a2[b] = load (lanes.a2 + o);
        a3[b] = load (lanes.a3 + o);
        m1[b] = load (lanes.m1 + o);
        out[b] = self[b];

        if constexpr (M != still)
            g[b] = load (lanes.g + o);
        if constexpr (M == stepping)
        {
            // A still vector in a stepping group adds zeros, which leaves
            // it exactly where it is. Runs of one tick step as one.
            const bool steps = ! kMultiTick || plan (b).motion == stepping;
            da1[b] = steps ? load (plan (b).cur->da1 + o) : Vec {};
            dm1[b] = steps ? load (plan (b).cur->dm1 + o) : Vec {};
        }
        if constexpr (M == tickEdge)
        {
            // The ending tick's steps, and the next one's.
            da1[b] = load (plan (b).prev->da1 + o);
            dm1[b] = load (plan (b).prev->dm1 + o);
            nextDa1[b] = load (plan (b).cur->da1 + o);
            nextDm1[b] = load (plan (b).cur->dm1 + o);
        }
        if constexpr (M == scheduled)
        {
            da1[b] = load (plan (b).cur->da1 + o);
            dm1[b] = load (plan (b).cur->dm1 + o);
            landA1[b] = load (plan (b).cur->landA1 + o);
            landM1[b] = load (plan (b).cur->landM1 + o);
        }
    }

    [[maybe_unused]] const Mask lag = pairLag();

#pragma GCC unroll 8
    for (int r = 0; r < G; ++r)
    {
        // Inputs first: each vector takes what the one below gave last iteration.
        Vec v[kB];
        carry[r] = out[B - 1];
#pragma GCC unroll 8
        for (int b = 0; b < B; ++b)
            v[b] = feed (b == 0 ? below[r] : out[b - 1], out[b]);

#pragma GCC unroll 8
        for (int b = 0; b < B; ++b)
        {
            if constexpr (M == stepping)
            {
                a1[b] = a1[b] + da1[b];
                m1[b] = m1[b] + dm1[b];
                a2[b] = a1[b] * g[b];
                a3[b] = a2[b] * g[b];
            }
            else if constexpr (M == tickEdge)
            {
                if (plan (b).motion == tickEdge)
                    stepAtEdge (plan (b), (p + b) * W, r, da1[b], dm1[b], nextDa1[b], nextDm1[b], a1[b], m1[b]);
                else
                {
                    // A plain neighbour: stepping, or adding zeros.
                    a1[b] = a1[b] + (plan (b).motion == stepping ? da1[b] : Vec {});
                    m1[b] = m1[b] + (plan (b).motion == stepping ? dm1[b] : Vec {});
                }
                a2[b] = a1[b] * g[b];
                a3[b] = a2[b] * g[b];
            }
            else if constexpr (M == scheduled)
            {
                // Within one tick (a first segment starts from the lanes'
                // own values, so it needs no reload).
                const Mask tl = splat (firstRow - b * G - plan (b).segStart + r) - lag;
                const Mask steps = (tl >= 0) & (tl < splat (plan (b).stepCur));
                const Mask land = tl == splat (plan (b).landCur);

                // Adding da1 * 0.0 leaves a1 exactly as it is, so lanes
                // that do not step this sample can share the arithmetic.
                const Vec step = steps ? Vec {} + 1.0 : Vec {};
                a1[b] = a1[b] + da1[b] * step;
                m1[b] = m1[b] + dm1[b] * step;
                a1[b] = land ? landA1[b] : a1[b];
                m1[b] = land ? landM1[b] : m1[b];
                a2[b] = a1[b] * g[b];
                a3[b] = a2[b] * g[b];
            }
            else if constexpr (M == crossing)
            {
                const Plan& pl = plan (b);
                const int o = (p + b) * W;
                const Mask tl = splat (firstRow - b * G - pl.segStart + r) - lag;
                const Mask old = tl < splat (pl.crossLimit);
                const Mask iOld = tl + splat (pl.lenPrev);
                const Mask steps = old ? (iOld < splat (pl.stepPrev)) : ((tl >= 0) & (tl < splat (pl.stepCur)));
                const Mask land = old ? (iOld == splat (pl.landPrev)) : (tl == splat (pl.landCur));
                const Mask reload = tl == 0;

                const Vec step = steps ? Vec {} + 1.0 : Vec {};
                const Vec da = old ? load (pl.prev->da1 + o) : load (pl.cur->da1 + o);
                const Vec dm = old ? load (pl.prev->dm1 + o) : load (pl.cur->dm1 + o);
                a1[b] = reload ? load (pl.cur->startA1 + o) : a1[b];
                m1[b] = reload ? load (pl.cur->startM1 + o) : m1[b];
                a1[b] = a1[b] + da * step;
                m1[b] = m1[b] + dm * step;
                a1[b] = land ? (old ? load (pl.prev->landA1 + o) : load (pl.cur->landA1 + o)) : a1[b];
                m1[b] = land ? (old ? load (pl.prev->landM1 + o) : load (pl.cur->landM1 + o)) : m1[b];
                a2[b] = a1[b] * g[b];
                a3[b] = a2[b] * g[b];
            }

            const Vec d = v[b] - ic2[b];
            const Vec bp = a1[b] * ic1[b] + a2[b] * d;
            const Vec lp = ic2[b] + a2[b] * ic1[b] + a3[b] * d;
            Vec next1 = twiceLess (Vec {} + 2.0, bp, ic1[b]);
            Vec next2 = twiceLess (Vec {} + 2.0, lp, ic2[b]);

            if constexpr (Edge)
            {
                const Mask t = splat (firstRow - b * G + r) - lag;
                const Mask inside = (t >= 0) & (t < f.numSamples);
                next1 = inside ? next1 : ic1[b];
                next2 = inside ? next2 : ic2[b];
            }

            ic1[b] = next1;
            ic2[b] = next2;
            out[b] = v[b] + m1[b] * bp;
        }

        if constexpr (Top)
        {
            // The last band's output: sample row - (G - 1) of the top vector.
            const int sample = firstRow - (B - 1) * G + r - (G - 1);
            if (sample >= 0 && sample < f.numSamples)
            {
                f.output[2 * sample] = out[B - 1][W - 2];
                f.output[2 * sample + 1] = out[B - 1][W - 1];
            }
        }
    }

#pragma GCC unroll 8
    for (int b = 0; b < B; ++b)
    {
        const int o = (p + b) * W;
        store (lanes.ic1 + o, ic1[b]);
        store (lanes.ic2 + o, ic2[b]);
        self[b] = out[b];
        if constexpr (M != still)
        {
            store (lanes.a1 + o, a1[b]);
            store (lanes.a2 + o, a2[b]);
            store (lanes.a3 + o, a3[b]);
            store (lanes.m1 + o, m1[b]);
        }
    }
}

// The rows of vectors p ... p+B-1 in group q: firstRow is vector p's.
// Picks the cheapest path that is exact for every lane.
template <int W>
template <int B>
__attribute__ ((always_inline)) inline void Wavefront<W>::runInline (const Frame& f, int p, int q, const Vec* below, Vec* self, Vec* carry) noexcept
{
    const int firstRow = (q - p) * G;
    const int lowestRow = firstRow - (B - 1) * G;        // the highest vector's first row
    const int firstSample = lowestRow - (G - 1);         // its top pair's first sample
    const int lastSample = firstRow + G - 1;             // vector p's bottom pair's last sample
    const bool edge = firstSample < 0 || lastSample >= f.numSamples;
    const bool top = p + B - 1 == kVectors - 1;

    Motion m = still;
    const Plan* plan = f.shared;
    int stride = 0;

    if (f.anyMotion && (! kMultiTick || f.segmentCount == 1))
    {
        // One tick (the way a run of the bank's own process goes): the
        // whole group moves alike, as the schedule says.
        const bool allStep = firstSample >= 0 && lastSample < f.shared->stepCur;
        const bool noneMove = firstSample > f.shared->landCur && firstSample >= f.shared->stepCur;
        m = allStep ? stepping : noneMove ? still : scheduled;
    }
    else if (kMultiTick && f.anyMotion)
    {
        for (int b = 0; b < B; ++b)
        {
            const auto motion = (Motion) f.plans[q - p - b + kVectors].motion;
            m = motion > m ? motion : m;
        }
        plan = f.plans + (q - p + kVectors);
        stride = 1;
    }

    if (kMultiTick && m != still && f.segmentCount > 1)
    {
        bool enters = false;
        for (int b = 0; b < B; ++b)
            enters = enters || plan[-b * stride].enters;

        // Groups at the run's edges take the general paths, and of those
        // only the crossing one enters a new tick.
        if (edge && m == tickEdge)
            m = scheduled;
        if (m == scheduled && enters)
            m = crossing;
    }

#define ZEL_BELL_GROUP(M, E, T) group<M, E, T, B> (f, p, firstRow, below, self, carry, plan, stride)
    if constexpr (! kMultiTick)
    {
        if (top && edge)
        {
            if (m == still) ZEL_BELL_GROUP (still, true, true);
            else ZEL_BELL_GROUP (scheduled, true, true);
        }
        else if (top)
        {
            if (m == still) ZEL_BELL_GROUP (still, false, true);
            else if (m == stepping) ZEL_BELL_GROUP (stepping, false, true);
            else ZEL_BELL_GROUP (scheduled, false, true);
        }
        else if (edge)
        {
            if (m == still) ZEL_BELL_GROUP (still, true, false);
            else ZEL_BELL_GROUP (scheduled, true, false);
        }
        else
        {
            if (m == still) ZEL_BELL_GROUP (still, false, false);
            else if (m == stepping) ZEL_BELL_GROUP (stepping, false, false);
            else ZEL_BELL_GROUP (scheduled, false, false);
        }
    }
    else if (top && edge)
    {
        if (m == still) ZEL_BELL_GROUP (still, true, true);
        else if (m == crossing) ZEL_BELL_GROUP (crossing, true, true);
        else ZEL_BELL_GROUP (scheduled, true, true);
    }
    else if (top)
    {
        // Long runs spend most of their time here: no lane masks.
        if (m == still) ZEL_BELL_GROUP (still, false, true);
        else if (m == stepping) ZEL_BELL_GROUP (stepping, false, true);
        else if (m == tickEdge) ZEL_BELL_GROUP (tickEdge, false, true);
        else if (m == crossing) ZEL_BELL_GROUP (crossing, false, true);
        else ZEL_BELL_GROUP (scheduled, false, true);
    }
    else if (edge)
    {
        if (m == still) ZEL_BELL_GROUP (still, true, false);
        else if (m == crossing) ZEL_BELL_GROUP (crossing, true, false);
        else ZEL_BELL_GROUP (scheduled, true, false);
    }
    else
    {
        if (m == still) ZEL_BELL_GROUP (still, false, false);
        else if (m == stepping) ZEL_BELL_GROUP (stepping, false, false);
        else if (m == tickEdge) ZEL_BELL_GROUP (tickEdge, false, false);
        else if (m == crossing) ZEL_BELL_GROUP (crossing, false, false);
        else ZEL_BELL_GROUP (scheduled, false, false);
    }
#undef ZEL_BELL_GROUP
}

// The narrowest vectors do little per call: their groups go inline.
template <int W>
template <int B>
inline void Wavefront<W>::runCall (const Frame& f, int p, int q, const Vec* below, Vec* self, Vec* carry) noexcept
{
    runInline<B> (f, p, q, below, self, carry);
}

template <int W>
template <int B>
__attribute__ ((always_inline)) inline void Wavefront<W>::run (const Frame& f, int p, int q, const Vec* below, Vec* self, Vec* carry) noexcept
{
    if constexpr (G == 1)
        runInline<B> (f, p, q, below, self, carry);
    else
        runCall<B> (f, p, q, below, self, carry);
}

} // namespace
} // namespace vo::plugins::zel
