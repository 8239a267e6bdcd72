#pragma once

// The cascade as a wavefront, for one vector width: a run from end to end,
// through the sweep where it can and the group paths elsewhere. Each kernel
// translation unit includes this once and is compiled for its own
// instruction set (see WavefrontShape.h for the why and the shape).

#include "bells/wavefront/WavefrontGroups.h"
#include "bells/wavefront/WavefrontPlan.h"
#include "bells/wavefront/WavefrontShape.h"
#include "bells/wavefront/WavefrontSweep.h"

namespace vo::plugins::zel
{
namespace
{

// Iteration s: vector p works on local row s - p*G, whose band pair k
// holds sample row - k. Iterations go in groups of G; in group q vector p
// runs rows (q - p)*G ... (q - p)*G + G - 1, and the vectors of a group go
// upwards, kBlock at a time.
template <int W>
inline void Wavefront<W>::cascade (const BellRun& run) noexcept
{
    const int n = run.numSamples;

    const int groupsPerVector = (n + 2 * G - 2) / G;
    const int groups = kVectors + groupsPerVector - 1;

    // How each group of rows moves, worked out once per run: vector p in
    // group q starts at row (q - p) * G, from -(kVectors - 1) * G on.
    const bool anyMotion = ! holdsStill (run);

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

    const TickShape shape = tickShapeOf (run);
    const Frame f { run.lanes, run.output, n, run.segmentCount, run.plans, &shared, anyMotion };
    if (shape != anyShape && n <= kLongestShortRun && (shape != holding || kSweepsStillShortRuns))
    {
        sweepShortRun (f, run.input, shape);
        return;
    }

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
            run.plans[i] = planFor (run.segments, spans, k, R);
            general[i + 1] = (unsigned short) (general[i] + (run.plans[i].motion >= scheduled ? 1 : 0));
        }
    }
    Vec out[(unsigned) kVectors] = {};

    // Whether group q lies inside the run (every vector's rows are samples
    // of it), and whether every vector then steps plainly, stands still or
    // sits at a tick's edge.
    const auto inside = [n] (int q) { return (q - (kVectors - 1)) * G - (G - 1) >= 0 && q * G + G - 1 < n; };
    // With one band pair per vector the sweep also fills and drains the
    // wavefront (see sweepStretch), so only the plans of group q's vectors
    // in the run, q - n + 1 ... q, count.
    const auto sweeps = [&] (int q)
    {
        if constexpr (G == 1)
        {
            const int low = q - n + 1 > 0 ? q - n + 1 : 0;
            const int high = q < kVectors - 1 ? q : kVectors - 1;
            return general[q - low + kVectors + 1] == general[q - high + kVectors];
        }
        else
            return inside (q) && general[q + kVectors + 1] == general[q + 1];
    };
    const auto stillSweeps = [&inside] (int q) { return G == 1 || inside (q); };

    for (int q = 0; q < groups; ++q)
    {
        if constexpr (kMultiTick)
        {
            if (planned && sweeps (q))
            {
                int end = q + 1;
                while (end < groups && sweeps (end))
                    ++end;
                sweepStretch<true> (f, run.input, q, end, out);
                q = end - 1;
                continue;
            }
        }

        // A run in which nothing moves sweeps everything it can.
        if (! anyMotion && stillSweeps (q))
        {
            int end = q + 1;
            while (end < groups && stillSweeps (end))
                ++end;
            sweepStretch<false> (f, run.input, q, end, out);
            q = end - 1;
            continue;
        }

        const int low = q - groupsPerVector + 1 < 0 ? 0 : q - groupsPerVector + 1;
        const int high = q < kVectors - 1 ? q : kVectors - 1;

        Vec below[(unsigned) G];
#pragma GCC unroll 8
        for (int r = 0; r < G; ++r)
            below[r] = low == 0 ? loadInput (run.input + 2 * (q * G + r) - (W - 2)) : out[low - 1];

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
template <int W>
inline void Wavefront<W>::process (const BellRun& run) noexcept
{
    if (kMultiTick || run.segmentCount == 1 || holdsStill (run))
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

template <int W>
inline void Wavefront<W>::startTick (BellLanes& lanes, const BellTick& tick) noexcept
{
    for (int lane = 0; lane < BellLanes::kLanes; ++lane)
    {
        lanes.a1[lane] = tick.startA1[lane];
        lanes.m1[lane] = tick.startM1[lane];
        lanes.a2[lane] = lanes.a1[lane] * lanes.g[lane];
        lanes.a3[lane] = lanes.a2[lane] * lanes.g[lane];
    }
}

} // namespace
} // namespace vo::plugins::zel
