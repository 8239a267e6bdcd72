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

#include "BellLanes.h"

namespace vo::plugins::zel
{
namespace
{

// GCC's vector types, spelled out per width: the attribute does not take a
// template-dependent size.
template <int W>
struct VectorTypes;

template <>
struct VectorTypes<2>
{
    typedef double Vec __attribute__ ((vector_size (16)));
    typedef long long Mask __attribute__ ((vector_size (16)));
};

template <>
struct VectorTypes<4>
{
    typedef double Vec __attribute__ ((vector_size (32)));
    typedef long long Mask __attribute__ ((vector_size (32)));
};

template <>
struct VectorTypes<8>
{
    typedef double Vec __attribute__ ((vector_size (64)));
    typedef long long Mask __attribute__ ((vector_size (64)));
};

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

    static Vec load (const double* p) noexcept
    {
        Vec v;
        __builtin_memcpy (&v, p, sizeof (Vec));
        return v;
    }

    static void store (double* p, Vec v) noexcept { __builtin_memcpy (p, &v, sizeof (Vec)); }

    static Mask splat (long long x) noexcept { return Mask {} + x; }

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
        int stepCount;
        long long landAt;
    };

    // How a group's coefficients move: not at all, one ramp step on every
    // lane and iteration, or per lane as the schedule says (ramp edges, landing).
    enum Motion
    {
        still,
        stepping,
        scheduled
    };

    // G consecutive iterations of B neighbouring vectors p ... p+B-1, their
    // states and coefficients held in registers. Vector p+b runs rows
    // firstRow - b*G onwards. Iteration r of a vector takes the output of the
    // vector below from iteration r - 1 (below[r] for the lowest vector), and
    // the highest vector leaves its previous outputs in carry[r] for the
    // vector above. Within an iteration the B vectors are independent, which
    // keeps the core busy while each waits for its own previous iteration.
    // Edge groups contain samples outside the run: those lanes keep their
    // states. Top: the highest vector is the last band pair, whose outputs
    // are the cascade's.
    template <Motion M, bool Edge, bool Top, int B>
    __attribute__ ((always_inline)) static inline void group (const Frame& f, int p, int firstRow, const Vec* below, Vec* self, Vec* carry) noexcept
    {
        BellLanes& lanes = *f.lanes;

        constexpr auto kB = (unsigned) B;
        Vec ic1[kB], ic2[kB], a1[kB], a2[kB], a3[kB], m1[kB], out[kB];
        [[maybe_unused]] Vec g[kB], da1[kB], dm1[kB], landA1[kB], landM1[kB];

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
            {
                g[b] = load (lanes.g + o);
                da1[b] = load (lanes.da1 + o);
                dm1[b] = load (lanes.dm1 + o);
            }
            if constexpr (M == scheduled)
            {
                landA1[b] = load (lanes.landA1 + o);
                landM1[b] = load (lanes.landM1 + o);
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
                [[maybe_unused]] Mask t {};
                if constexpr (M == scheduled || Edge)
                    t = splat (firstRow - b * G + r) - lag;

                if constexpr (M == stepping)
                {
                    a1[b] = a1[b] + da1[b];
                    m1[b] = m1[b] + dm1[b];
                    a2[b] = a1[b] * g[b];
                    a3[b] = a2[b] * g[b];
                }
                else if constexpr (M == scheduled)
                {
                    // Adding da1 * 0.0 leaves a1 exactly as it is, so lanes
                    // that do not step this sample can share the arithmetic.
                    const Mask steps = (t >= 0) & (t < f.stepCount);
                    const Vec step = steps ? Vec {} + 1.0 : Vec {};
                    const Mask land = t == f.landAt;
                    a1[b] = a1[b] + da1[b] * step;
                    m1[b] = m1[b] + dm1[b] * step;
                    a1[b] = land ? landA1[b] : a1[b];
                    m1[b] = land ? landM1[b] : m1[b];
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
    template <int B>
    static void run (const Frame& f, bool ramps, int p, int q, const Vec* below, Vec* self, Vec* carry) noexcept
    {
        const int firstRow = (q - p) * G;
        const int lowestRow = firstRow - (B - 1) * G;        // the highest vector's first row
        const int firstSample = lowestRow - (G - 1);         // its top pair's first sample
        const int lastSample = firstRow + G - 1;             // vector p's bottom pair's last sample
        const bool edge = firstSample < 0 || lastSample >= f.numSamples;
        const bool top = p + B - 1 == kVectors - 1;

        Motion m = still;
        if (ramps)
        {
            const bool allStep = firstSample >= 0 && lastSample < f.stepCount;
            const bool noneMove = firstSample > f.landAt && firstSample >= f.stepCount;
            m = allStep ? stepping : noneMove ? still : scheduled;
        }

#define ZEL_BELL_GROUP(M, E, T) group<M, E, T, B> (f, p, firstRow, below, self, carry)
        if (top)
        {
            if (m == still) ZEL_BELL_GROUP (still, true, true);
            else ZEL_BELL_GROUP (scheduled, true, true);
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
#undef ZEL_BELL_GROUP
    }

    // Iteration s: vector p works on local row s - p*G, whose band pair k
    // holds sample row - k. Iterations go in groups of G; in group q vector p
    // runs rows (q - p)*G ... (q - p)*G + G - 1, and the vectors of a group go
    // upwards, kBlock at a time.
    static void cascade (const BellRun& run) noexcept
    {
        const Frame f { run.lanes, run.output, run.numSamples, run.stepCount,
                        run.landAt >= 0 ? (long long) run.landAt : -(1LL << 40) };
        const bool ramps = run.stepCount > 0 || run.landAt >= 0;
        const int n = run.numSamples;
        const int groupsPerVector = (n + 2 * G - 2) / G;
        const int groups = kVectors + groupsPerVector - 1;
        Vec out[(unsigned) kVectors] = {};

        for (int q = 0; q < groups; ++q)
        {
            const int low = q - groupsPerVector + 1 < 0 ? 0 : q - groupsPerVector + 1;
            const int high = q < kVectors - 1 ? q : kVectors - 1;

            Vec below[(unsigned) G];
#pragma GCC unroll 8
            for (int r = 0; r < G; ++r)
                below[r] = low == 0 ? load (run.input + 2 * (q * G + r) - (W - 2)) : out[low - 1];

            Vec carry[(unsigned) G];
            int p = low;
            for (; p + kBlock - 1 <= high; p += kBlock)
            {
                Wavefront::run<kBlock> (f, ramps, p, q, below, out + p, carry);
#pragma GCC unroll 8
                for (int r = 0; r < G; ++r)
                    below[r] = carry[r];
            }
            if constexpr (kBlock > 2)
            {
                for (; p + 1 <= high; p += 2)
                {
                    Wavefront::run<2> (f, ramps, p, q, below, out + p, carry);
#pragma GCC unroll 8
                    for (int r = 0; r < G; ++r)
                        below[r] = carry[r];
                }
            }
            for (; p <= high; ++p)
            {
                Wavefront::run<1> (f, ramps, p, q, below, out + p, carry);
#pragma GCC unroll 8
                for (int r = 0; r < G; ++r)
                    below[r] = carry[r];
            }
        }
    }

    static void process (const BellRun& run) noexcept { cascade (run); }
};

} // namespace
} // namespace vo::plugins::zel
