#pragma once

// The cascade as a wavefront, for one vector width. Each kernel translation
// unit includes this once and is compiled for its own instruction set;
// everything here has internal linkage so that no AVX instance can be shared
// with code that runs on older CPUs. No standard-library calls for the same
// reason.
//
// Why a wavefront: in the plain chain every bell waits for the previous bell's
// result of the same sample, so the CPU spends its time on latency. Bell b at
// sample t needs only bell b-1 at sample t and bell b at sample t-1, so all
// bells can run at once if bell b works on sample t-b. A vector of W lanes
// holds W/2 consecutive bands of both sets (the sets are independent lanes),
// the higher band of each pair one sample behind the one below it; every
// vector then only needs the previous iteration's outputs, so all 64/W
// vectors of an iteration are independent.
//
// Every lane performs exactly the operations of the plain chain in the same
// order, so the results are the same bits as long as nothing contracts a
// multiply and an add into one rounding (the engine builds with
// -ffp-contract=off).

#include "bells/BellLanes.h"
#include "kernels/BellVectorTypes.h"

namespace vo::plugins::zel
{
namespace
{

template <int W>
struct Wavefront
{
    using Vec = typename VectorTypes<W>::Vec;
    using Mask = typename VectorTypes<W>::Mask;

    static constexpr int kBandsPerVector = W / 2;
    static constexpr int kVectors = BellLanes::kLanes / W;
    static constexpr int kChainLength = BellLanes::kLanes / 2;
    static constexpr int G = kBandsPerVector;
    // Vectors run side by side in a group: as many as the registers hold.
    static constexpr int kBlock = W == 8 ? 4 : 2;
    // Moving coefficients need more registers: fewer vectors side by side.
    static constexpr int kMovingBlock = W == 8 ? 3 : 2;
    // Only the widest kernel runs several ticks in one wavefront: the narrower
    // ones would work out their per-lane plans row by row, which costs more
    // than the drain it saves, and the code for it would crowd their loops
    // out of the instruction cache. They take a run one tick at a time.
    static constexpr bool kMultiTick = W == 8;

    static Vec load (const double* p) noexcept
    {
        Vec v;
        __builtin_memcpy (&v, p, sizeof (Vec));
        return v;
    }

    static void store (double* p, Vec v) noexcept { __builtin_memcpy (p, &v, sizeof (Vec)); }

    static Mask splat (long long x) noexcept { return Mask {} + x; }

    // 2.0 where the compiler cannot see it, which would otherwise double by
    // adding: the cascade has more additions than multiplications for the
    // core's pipes already. Doubling is exact either way.
    static Vec opaqueTwo() noexcept
    {
        Vec two = Vec {} + 2.0;
        asm ("" : "+v"(two));
        return two;
    }

    // How many samples each lane lags its vector's first band pair.
    static Mask pairLag() noexcept
    {
        Mask lag {};
        for (int lane = 0; lane < W; ++lane)
            lag[lane] = lane / 2;
        return lag;
    }

    // The top band pair of the vector below (its outputs one sample ago) feeds
    // this vector's lowest pair; each pair of this vector feeds the next.
    static Vec feed (Vec below, Vec self) noexcept
    {
        if constexpr (W == 2)
            return below;
        else if constexpr (W == 4)
            return __builtin_shufflevector (below, self, 2, 3, 4, 5);
        else
            return __builtin_shufflevector (below, self, 6, 7, 8, 9, 10, 11, 12, 13);
    }

    // The parts of a run the inner loops read, copied out of the BellRun so
    // that the compiler need not reload them after every store to the lanes.
    struct Frame
    {
        BellLanes* lanes;
        double* output;
        int numSamples;
        int segmentCount;
        const BellPlan* plans;                 // by first row / G + kVectors; runs of several segments only
        const BellPlan* shared;                // every vector's, in runs of a single segment
        bool anyMotion;
    };

    // How a vector's coefficients move over a group: not at all, one ramp
    // step on every lane and row, or per lane as its segments say (ramp
    // edges, landings, the start of a new tick).
    enum Motion
    {
        still,
        stepping,
        tickEdge,    // the plain end of a full tick, or the start of the next: fixed lane patterns
        scheduled,
        crossing
    };

    static constexpr long long kNever = -(1LL << 40);

    // Where one vector stands in the segments during a group: its lanes are in
    // segment `cur`, which starts at row segStart; when the group
    // crosses into cur from the segment before, the lanes whose count is below
    // crossLimit (zero) are still in `prev`, lenPrev samples long.
    using Plan = BellPlan;

    // One row of a vector at a tick's edge (motion tickEdge), lanes at `o`,
    // counted from the next tick's first sample: the sample before it lands
    // the ending tick's ramp, the first one starts from the new tick's start
    // values, and every other lane takes a step of its own tick.
    __attribute__ ((always_inline)) static inline void stepAtEdge (const Plan& pl, int o, int r, Vec oldDa, Vec oldDm, Vec newDa, Vec newDm,
                                                                   Vec& a1, Vec& m1) noexcept
    {
        const Mask u = splat (pl.edgeOffset + r) - pairLag();
        const Mask old = u < 0;
        const Mask land = u == -1;
        const Mask reload = u == 0;
        a1 = reload ? load (pl.cur->startA1 + o) : a1;
        m1 = reload ? load (pl.cur->startM1 + o) : m1;
        a1 = a1 + (old ? oldDa : newDa);
        m1 = m1 + (old ? oldDm : newDm);
        a1 = land ? load (pl.prev->landA1 + o) : a1;
        m1 = land ? load (pl.prev->landM1 + o) : m1;
    }

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
    template <Motion M, bool Edge, bool Top, int B>
    __attribute__ ((always_inline)) static inline void group (const Frame& f, int p, int firstRow, const Vec* below, Vec* self, Vec* carry,
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
                Vec next1 = 2.0 * bp - ic1[b];
                Vec next2 = 2.0 * lp - ic2[b];

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

    // A sweep (below) runs the vectors in two halves, one after the other
    // over a tile of groups: the state of all the vectors does not fit in the
    // registers, and spilling it costs more than the arithmetic. Four vectors
    // still give the core enough independent work while each waits on its own
    // previous row. The lower half leaves its top vector's outputs in a link
    // for the upper half.
    static constexpr int kHalf = kVectors / 2;
    static constexpr int kTileGroups = 16;

    // The running state of one half of a sweep, kept from group to group.
    struct Sweep
    {
        Vec ic1[(unsigned) kHalf], ic2[(unsigned) kHalf], a1[(unsigned) kHalf], m1[(unsigned) kHalf];
        Vec out[(unsigned) kHalf];
    };

    // Sweep groups whose tick-edge vectors are not one of the patterns below.
    static constexpr unsigned kAnyEdges = ~0u;

    // One group of the half of a sweep from vector V0 up. Edges has a bit for
    // each of its vectors at a tick's edge, and Entering a bit for each of
    // those whose group begins the next tick (the others end theirs); or Edges
    // is kAnyEdges to read them from the plans. Knowing them when compiling
    // spares every vector of every row a test whose outcome moves up a vector
    // from one group to the next, and lets each edge take only the work its
    // side of the edge needs. The lowest vector takes the input (V0 == 0) or
    // the link's row; the lower half writes the link.
    template <int V0, unsigned Edges, unsigned Entering>
    __attribute__ ((always_inline)) static inline void sweepGroup (const Frame& f, const double* input, int q, Sweep& s, unsigned edges,
                                                                   const Vec* da1, const Vec* dm1, Vec* link) noexcept
    {
        constexpr bool kKnown = Edges != kAnyEdges;
        constexpr bool kTop = V0 + kHalf == kVectors;
        constexpr auto kH = (unsigned) kHalf;
        const Plan* plans = f.plans + q + kVectors;   // vector b's is plans[-b]
        const Vec two = opaqueTwo();
        const int topRow = (q - (kVectors - 1)) * G;
        const auto atEdge = [edges] (int b) { return kKnown ? (Edges & (1u << b)) != 0 : (edges & (1u << b)) != 0; };
        const auto entering = [] (int b) { return (Entering & (1u << b)) != 0; };

        // What the known edges read, once for the group: the next tick's steps
        // and start, and the ending tick's landing.
        [[maybe_unused]] Vec newDa[kH], newDm[kH], startA1[kH], startM1[kH], landA1[kH], landM1[kH];
        if constexpr (kKnown)
        {
#pragma GCC unroll 8
            for (int b = 0; b < kHalf; ++b)
            {
                if (! atEdge (b))
                    continue;
                const Plan& pl = plans[-(V0 + b)];
                const int o = (V0 + b) * W;
                landA1[b] = load (pl.prev->landA1 + o);
                landM1[b] = load (pl.prev->landM1 + o);
                if (entering (b))
                {
                    newDa[b] = load (pl.cur->da1 + o);
                    newDm[b] = load (pl.cur->dm1 + o);
                    startA1[b] = load (pl.cur->startA1 + o);
                    startM1[b] = load (pl.cur->startM1 + o);
                }
            }
        }

        const Mask lag = pairLag();

        for (int r = 0; r < G; ++r)
        {
            Vec in;
            if constexpr (V0 == 0)
                in = load (input + 2 * (q * G + r) - (W - 2));
            else
                in = link[r];
            if constexpr (! kTop)
                link[r] = s.out[kHalf - 1];

            // Where the lanes of a vector that begins the next tick stand on
            // this row: still in the ending tick, landing it, or starting.
            const Mask row = splat (r);
            const Mask before = lag > row, lands = lag == row + 1, starts = lag == row;

#pragma GCC unroll 8
            for (int b = kHalf - 1; b >= 0; --b)
            {
                const Vec v = feed (b == 0 ? in : s.out[b - 1], s.out[b]);
                Vec a1 = s.a1[b], m1 = s.m1[b];

                if (! atEdge (b))
                {
                    a1 = a1 + da1[b];
                    m1 = m1 + dm1[b];
                }
                else if constexpr (! kKnown)
                {
                    const Plan& pl = plans[-(V0 + b)];
                    const int o = (V0 + b) * W;
                    stepAtEdge (pl, o, r, da1[b], dm1[b], load (pl.cur->da1 + o), load (pl.cur->dm1 + o), a1, m1);
                }
                else if (entering (b))
                {
                    // As stepAtEdge at the start of a tick.
                    a1 = starts ? startA1[b] : a1;
                    m1 = starts ? startM1[b] : m1;
                    a1 = a1 + (before ? da1[b] : newDa[b]);
                    m1 = m1 + (before ? dm1[b] : newDm[b]);
                    a1 = lands ? landA1[b] : a1;
                    m1 = lands ? landM1[b] : m1;
                }
                else
                {
                    // The last rows of a tick: every lane steps, and the lowest
                    // pair lands on the last.
                    a1 = a1 + da1[b];
                    m1 = m1 + dm1[b];
                    if (r == G - 1)
                    {
                        const Mask first = lag == 0;
                        a1 = first ? landA1[b] : a1;
                        m1 = first ? landM1[b] : m1;
                    }
                }
                s.a1[b] = a1;
                s.m1[b] = m1;

                const Vec g = load (f.lanes->g + (V0 + b) * W);
                const Vec a2 = a1 * g;
                const Vec a3 = a2 * g;
                const Vec ic1 = s.ic1[b], ic2 = s.ic2[b];
                const Vec d = v - ic2;
                const Vec bp = a1 * ic1 + a2 * d;
                const Vec lp = ic2 + a2 * ic1 + a3 * d;
                s.ic1[b] = two * bp - ic1;
                s.ic2[b] = two * lp - ic2;
                s.out[b] = v + m1 * bp;
            }

            if constexpr (kTop)
            {
                // The last band's output: sample row - (G - 1) of the top vector.
                const int sample = topRow + r - (G - 1);
                f.output[2 * sample] = s.out[kHalf - 1][W - 2];
                f.output[2 * sample + 1] = s.out[kHalf - 1][W - 1];
            }
        }
    }

    // Groups qBegin ... qEnd - 1 of the half from vector V0 up.
    template <int V0>
    __attribute__ ((noinline)) static void sweepHalf (const Frame& f, const double* input, int qBegin, int qEnd, Vec* lastOut, Vec* link) noexcept
    {
        BellLanes& lanes = *f.lanes;
        constexpr auto kH = (unsigned) kHalf;
        Sweep s;

#pragma GCC unroll 8
        for (int b = 0; b < kHalf; ++b)
        {
            const int o = (V0 + b) * W;
            s.ic1[b] = load (lanes.ic1 + o);
            s.ic2[b] = load (lanes.ic2 + o);
            s.a1[b] = load (lanes.a1 + o);
            s.m1[b] = load (lanes.m1 + o);
            s.out[b] = lastOut[V0 + b];
        }

        for (int q = qBegin; q < qEnd; ++q)
        {
            // The steps each vector takes: a still vector adds zeros, which
            // leaves it exactly where it is; one at a tick's edge starts with
            // the ending tick's.
            const Plan* plans = f.plans + q + kVectors;
            Vec da1[kH], dm1[kH];
            unsigned edges = 0, entering = 0;
#pragma GCC unroll 8
            for (int b = 0; b < kHalf; ++b)
            {
                const int o = (V0 + b) * W;
                const Plan& pl = plans[-(V0 + b)];
                const bool edge = pl.motion == tickEdge;
                const bool steps = pl.motion == stepping;
                da1[b] = edge ? load (pl.prev->da1 + o) : steps ? load (pl.cur->da1 + o) : Vec {};
                dm1[b] = edge ? load (pl.prev->dm1 + o) : steps ? load (pl.cur->dm1 + o) : Vec {};
                edges |= (edge ? 1u : 0u) << b;
                entering |= (edge && pl.edgeOffset == 0 ? 1u : 0u) << b;
            }

            // Full ticks put two neighbouring vectors at an edge in each group:
            // the lower one begins the next tick where the upper one, whose
            // rows are G earlier, ends the last; the pair may straddle the
            // halves. Anything else goes the general way.
            Vec* groupLink = link + (q - qBegin) * G;
            const unsigned key = edges | entering << 8;
#define ZEL_SWEEP_GROUP(E, N) sweepGroup<V0, E, N> (f, input, q, s, edges, da1, dm1, groupLink)
            switch (key)
            {
                case 0x000: ZEL_SWEEP_GROUP (0x0, 0x0); break;
                case 0x103: ZEL_SWEEP_GROUP (0x3, 0x1); break;
                case 0x206: ZEL_SWEEP_GROUP (0x6, 0x2); break;
                case 0x40c: ZEL_SWEEP_GROUP (0xc, 0x4); break;
                case 0x808: ZEL_SWEEP_GROUP (0x8, 0x8); break;
                case 0x001: ZEL_SWEEP_GROUP (0x1, 0x0); break;
                default: ZEL_SWEEP_GROUP (kAnyEdges, 0); break;
            }
#undef ZEL_SWEEP_GROUP
        }

#pragma GCC unroll 8
        for (int b = 0; b < kHalf; ++b)
        {
            const int o = (V0 + b) * W;
            const Vec g = load (lanes.g + o);
            store (lanes.ic1 + o, s.ic1[b]);
            store (lanes.ic2 + o, s.ic2[b]);
            store (lanes.a1 + o, s.a1[b]);
            store (lanes.m1 + o, s.m1[b]);
            store (lanes.a2 + o, s.a1[b] * g);
            store (lanes.a3 + o, s.a1[b] * g * g);
            lastOut[V0 + b] = s.out[b];
        }
    }

    // Groups qBegin ... qEnd - 1, all inside the run, with every vector
    // stepping plainly, standing still or at a tick's edge, a tile of groups
    // at a time.
    static void sweep (const Frame& f, const double* input, int qBegin, int qEnd, Vec* lastOut) noexcept
    {
        Vec link[(unsigned) (kTileGroups * G)];
        for (int q = qBegin; q < qEnd; q += kTileGroups)
        {
            const int end = q + kTileGroups < qEnd ? q + kTileGroups : qEnd;
            sweepHalf<0> (f, input, q, end, lastOut, link);
            sweepHalf<kHalf> (f, input, q, end, lastOut, link);
        }
    }

    // A tick whose ramps (if any) step to its second-to-last sample and land on
    // its last, as a full tick does, long enough that the groups around its
    // end see nothing else.
    static bool endsPlainly (const BellSegment& seg, int length) noexcept
    {
        const bool ramps = seg.stepCount == length - 1 && seg.landAt == length - 1;
        const bool none = seg.stepCount == 0 && seg.landAt < 0;
        return length >= 2 * G && (ramps || none);
    }

    // A tick whose first G samples all step (or that has no ramps).
    static bool startsPlainly (const BellSegment& seg, int length) noexcept
    {
        const bool steps = seg.stepCount >= G || (seg.stepCount == 0 && seg.landAt < 0);
        return length >= G && steps && ! (seg.landAt >= 0 && seg.landAt < G);
    }

    // Where segment k of a run ends: where the next begins, or the run's end.
    static int segmentEnd (const BellRun& run, int k) noexcept
    {
        return k + 1 < run.segmentCount ? run.segments[k + 1].start : run.numSamples;
    }

    // A segment's schedule clamped to its length, worked out once per run.
    struct Span
    {
        int start, end;
        long long step, land;
        bool endsPlainly, startsPlainly;
    };

    static Span spanOf (const BellSegment& seg, int end) noexcept
    {
        const int length = end - seg.start;
        Span span;
        span.start = seg.start;
        span.end = end;
        span.step = seg.stepCount < length ? seg.stepCount : length;
        span.land = seg.landAt >= 0 && seg.landAt < length ? seg.landAt : kNever;
        span.endsPlainly = endsPlainly (seg, length);
        span.startsPlainly = startsPlainly (seg, length);
        return span;
    }

    // Where the vector whose group starts at row R stands in segment k, the
    // one that holds row R (the first for rows before the run, the last for
    // rows after it).
    static Plan planFor (const BellSegment* segments, const Span* spans, int segmentCount, int k, int R) noexcept
    {
        const Span& span = spans[k];
        const bool entering = k > 0 && R == span.start;

        Plan plan;
        plan.cur = segments[k].tick;
        plan.prev = entering ? segments[k - 1].tick : plan.cur;
        plan.segStart = span.start;
        plan.stepCur = span.step;
        plan.landCur = span.land;
        plan.stepPrev = 0;
        plan.landPrev = kNever;
        plan.lenPrev = 0;
        plan.crossLimit = kNever;
        plan.edgeOffset = 0;
        plan.enters = entering;

        if (entering)
        {
            const Span& before = spans[k - 1];
            plan.stepPrev = before.step;
            plan.landPrev = before.land;
            plan.lenPrev = span.start - before.start;
            plan.crossLimit = 0;
            plan.motion = before.endsPlainly && span.startsPlainly ? tickEdge : crossing;
            return plan;
        }

        // The group just before the next tick, where the ending tick lands.
        if (k + 1 < segmentCount && R == span.end - G && span.endsPlainly)
        {
            plan.edgeOffset = -G;
            plan.motion = tickEdge;
            return plan;
        }

        // Counts of this vector's lanes over the group: lo ... hi.
        const long long lo = R - span.start - (G - 1), hi = R - span.start + (G - 1);
        const bool anySteps = (lo > 0 ? lo : 0) < (hi + 1 < plan.stepCur ? hi + 1 : plan.stepCur);
        const bool anyLanding = plan.landCur >= lo && plan.landCur <= hi;
        if (! anySteps && ! anyLanding)
            plan.motion = still;
        else if (lo >= 0 && hi < plan.stepCur && ! anyLanding)
            plan.motion = stepping;
        else
            plan.motion = scheduled;
        return plan;
    }

    // The rows of vectors p ... p+B-1 in group q: firstRow is vector p's.
    // Picks the cheapest path that is exact for every lane.
    template <int B>
    __attribute__ ((always_inline)) static inline void runInline (const Frame& f, int p, int q, const Vec* below, Vec* self, Vec* carry) noexcept
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
    template <int B>
    static void runCall (const Frame& f, int p, int q, const Vec* below, Vec* self, Vec* carry) noexcept
    {
        runInline<B> (f, p, q, below, self, carry);
    }

    template <int B>
    __attribute__ ((always_inline)) static inline void run (const Frame& f, int p, int q, const Vec* below, Vec* self, Vec* carry) noexcept
    {
        if constexpr (G == 1)
            runInline<B> (f, p, q, below, self, carry);
        else
            runCall<B> (f, p, q, below, self, carry);
    }

    // Iteration s: vector p works on local row s - p*G, whose band pair k
    // holds sample row - k. Iterations go in groups of G; in group q vector p
    // runs rows (q - p)*G ... (q - p)*G + G - 1, and the vectors of a group go
    // upwards, kBlock at a time.
    static void cascade (const BellRun& run) noexcept
    {
        const int n = run.numSamples;

        const int groupsPerVector = (n + 2 * G - 2) / G;
        const int groups = kVectors + groupsPerVector - 1;

        // How each group of rows moves, worked out once per run: vector p in
        // group q starts at row (q - p) * G, from -(kVectors - 1) * G on.
        bool anyMotion = false;
        for (int k = 0; k < run.segmentCount; ++k)
            anyMotion = anyMotion || k > 0 || run.segments[k].stepCount > 0 || run.segments[k].landAt >= 0;

        static_assert (BellRun::kMaxSamples / G + 2 * kVectors + 4 <= BellRun::kMaxPlans);

        // A single segment's schedule, clamped to the run.
        const Span whole = spanOf (run.segments[0], n);
        BellPlan shared {};
        shared.cur = shared.prev = run.segments[0].tick;
        shared.segStart = 0;
        shared.stepCur = whole.step;
        shared.landCur = whole.land;
        shared.landPrev = shared.crossLimit = kNever;
        shared.motion = stepping;

        const Frame f { run.lanes, run.output, n, run.segmentCount, run.plans, &shared, anyMotion };
        const bool planned = kMultiTick && anyMotion && run.segmentCount > 1;

        // Each plan, and how many of the plans before it need the general
        // paths: group q's vectors read plans q + 1 ... q + kVectors.
        unsigned short general[(unsigned) (BellRun::kMaxPlans + 1)];
        if (planned)
        {
            // Segments start on multiples of G, so every group's first row
            // lies in one segment.
            static_assert (BellSegment::kSegmentAlignment % G == 0);
            Span spans[(unsigned) BellRun::kMaxSegments];
            for (int k = 0; k < run.segmentCount; ++k)
                spans[k] = spanOf (run.segments[k], segmentEnd (run, k));

            general[0] = 0;
            for (int i = 0, k = 0; i < groups + 1; ++i)
            {
                const int R = (i - kVectors) * G;
                while (k + 1 < run.segmentCount && R >= spans[k + 1].start)
                    ++k;
                run.plans[i] = planFor (run.segments, spans, run.segmentCount, k, R);
                general[i + 1] = (unsigned short) (general[i] + (run.plans[i].motion >= scheduled ? 1 : 0));
            }
        }
        Vec out[(unsigned) kVectors] = {};

        // Whether group q lies inside the run with every vector stepping
        // plainly, standing still or at a tick's edge.
        const auto sweeps = [&general, n] (int q)
        {
            const bool inside = (q - (kVectors - 1)) * G - (G - 1) >= 0 && q * G + G - 1 < n;
            return inside && general[q + kVectors + 1] == general[q + 1];
        };

        for (int q = 0; q < groups; ++q)
        {
            if constexpr (kMultiTick)
            {
                if (planned && sweeps (q))
                {
                    int end = q + 1;
                    while (end < groups && sweeps (end))
                        ++end;
                    sweep (f, run.input, q, end, out);
                    q = end - 1;
                    continue;
                }
            }

            const int low = q - groupsPerVector + 1 < 0 ? 0 : q - groupsPerVector + 1;
            const int high = q < kVectors - 1 ? q : kVectors - 1;

            Vec below[(unsigned) G];
#pragma GCC unroll 8
            for (int r = 0; r < G; ++r)
                below[r] = low == 0 ? load (run.input + 2 * (q * G + r) - (W - 2)) : out[low - 1];

            Vec carry[(unsigned) G];
            if (! kMultiTick || ! planned)
            {
                // Runs of one tick: kBlock vectors at a time.
                int p = low;
                for (; p + kBlock - 1 <= high; p += kBlock)
                {
                    Wavefront::run<kBlock> (f, p, q, below, out + p, carry);
#pragma GCC unroll 8
                    for (int r = 0; r < G; ++r)
                        below[r] = carry[r];
                }
                if constexpr (kBlock > 2)
                {
                    for (; p + 1 <= high; p += 2)
                    {
                        Wavefront::run<2> (f, p, q, below, out + p, carry);
#pragma GCC unroll 8
                        for (int r = 0; r < G; ++r)
                            below[r] = carry[r];
                    }
                }
                for (; p <= high; ++p)
                {
                    Wavefront::run<1> (f, p, q, below, out + p, carry);
#pragma GCC unroll 8
                    for (int r = 0; r < G; ++r)
                        below[r] = carry[r];
                }
                continue;
            }

            // With ramps, vectors that step plainly go together, those at a
            // tick's edge together, and so do the few that need general
            // per-lane schedules, so that one lane's tick edge does not put
            // all its neighbours on a slower path.
            const auto kind = [&f, q] (int vector)
            {
                const int motion = f.plans[q - vector + kVectors].motion;
                return motion >= scheduled ? 2 : motion == tickEdge ? 1 : 0;
            };

            for (int p = low; p <= high;)
            {
                const int first = kind (p);
                int length = 1;
                while (p + length <= high && kind (p + length) == first)
                    ++length;

                // Blocks of kMovingBlock, but never a lone vector after a full
                // block when two smaller ones would do.
                const int size = length <= kMovingBlock ? length
                               : length == kMovingBlock + 1 && kMovingBlock > 2 ? kMovingBlock - 1
                                                                                : kMovingBlock;

                if constexpr (kMovingBlock > 2)
                {
                    if (size == 3)
                        Wavefront::run<3> (f, p, q, below, out + p, carry);
                }
                if (size == 2)
                    Wavefront::run<2> (f, p, q, below, out + p, carry);
                else if (size == 1)
                    Wavefront::run<1> (f, p, q, below, out + p, carry);

#pragma GCC unroll 8
                for (int r = 0; r < G; ++r)
                    below[r] = carry[r];
                p += size;
            }
        }
    }

    // Kernels without multi-tick runs take a run's ticks one after the other;
    // a tick after the first starts from its own start values, as a run's
    // later segments do.
    static void process (const BellRun& run) noexcept
    {
        if (kMultiTick || run.segmentCount == 1)
        {
            cascade (run);
            return;
        }

        for (int k = 0; k < run.segmentCount; ++k)
        {
            const int start = run.segments[k].start;
            const int end = segmentEnd (run, k);

            BellSegment segment = run.segments[k];
            segment.start = 0;
            if (k > 0)
                startTick (*run.lanes, *segment.tick);

            BellRun piece = run;
            piece.input = run.input + 2 * start;
            piece.output = run.output + 2 * start;
            piece.numSamples = end - start;
            piece.segments = &segment;
            piece.segmentCount = 1;
            cascade (piece);
        }
    }

    static void startTick (BellLanes& lanes, const BellTick& tick) noexcept
    {
        for (int lane = 0; lane < BellLanes::kLanes; ++lane)
        {
            lanes.a1[lane] = tick.startA1[lane];
            lanes.m1[lane] = tick.startM1[lane];
            lanes.a2[lane] = lanes.a1[lane] * lanes.g[lane];
            lanes.a3[lane] = lanes.a2[lane] * lanes.g[lane];
        }
    }
};

} // namespace
} // namespace vo::plugins::zel
