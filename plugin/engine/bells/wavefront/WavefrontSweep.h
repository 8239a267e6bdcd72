#pragma once

// The sweep: the path of the multi-tick kernels through long stretches in
// which every vector steps plainly, stands still or sits at a tick's edge,
// the vectors in parts of four over a tile of groups (see WavefrontShape.h).

#include "bells/wavefront/WavefrontShape.h"

namespace vo::plugins::zel
{
namespace
{

// One group of the part of a sweep from vector V0 up. Edges has a bit for
// each of its vectors at a tick's edge, and Entering a bit for each of
// those whose group begins the next tick (the others end theirs); or Edges
// is kAnyEdges to read them from the plans. Knowing them when compiling
// spares every vector of every row a test whose outcome moves up a vector
// from one group to the next, and lets each edge take only the work its
// side of the edge needs. The lowest vector takes the input (V0 == 0) or
// the link's row; every part but the top one writes the link.
template <int W>
template <int V0, unsigned Edges, unsigned Entering, bool Moving, bool Edged>
__attribute__ ((always_inline)) inline void Wavefront<W>::sweepGroup (const Frame& f, const double* input, int q, Sweep& s, unsigned edges,
                                                                     const Vec* da1, const Vec* dm1, Vec* link) noexcept
{
    constexpr bool kKnown = Edges != kAnyEdges;
    constexpr int kPart = partFor (Moving);
    constexpr bool kTop = V0 + kPart == kVectors;
    constexpr auto kH = (unsigned) kPart;
    const Plan* plans = f.plans + q + kVectors;   // vector b's is plans[-b]
    const Vec two = opaqueTwo();
    const int topRow = (q - (kVectors - 1)) * G;
    const auto atEdge = [edges] (int b) { return kKnown ? (Edges & (1u << b)) != 0 : (edges & (1u << b)) != 0; };
    const auto entering = [] (int b) { return (Entering & (1u << b)) != 0; };
    static_assert (! Edged || G == 1);
    const auto runs = [&f, q] (int b) { return ! Edged || isInRun (f, q, V0 + b); };

    // What the known edges read, once for the group: the next tick's steps
    // and start, and the ending tick's landing.
    [[maybe_unused]] Vec newDa[kH], newDm[kH], startA1[kH], startM1[kH], landA1[kH], landM1[kH];
    if constexpr (kKnown)
    {
#pragma GCC unroll 8
        for (int b = 0; b < kPart; ++b)
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
            in = loadInput (input + 2 * (q * G + r) - (W - 2));
        else
            in = link[r];
        if constexpr (! kTop)
            link[r] = s.out[kPart - 1];

        // Where the lanes of a vector that begins the next tick stand on
        // this row: still in the ending tick, landing it, or starting.
        const Mask row = splat (r);
        const Mask before = lag > row, lands = lag == row + 1, starts = lag == row;

#pragma GCC unroll 8
        for (int b = kPart - 1; b >= 0; --b)
        {
            if (! runs (b))
                continue;
            const Vec v = feed (b == 0 ? in : s.out[b - 1], s.out[b]);
            const int o = (V0 + b) * W;
            Vec a1 = s.a1[b], m1 = s.m1[b];

            if constexpr (! Moving)
            {
                // Nothing moves: the lanes' own coefficients, a2 and a3 too.
            }
            else if (! atEdge (b))
            {
                a1 = a1 + da1[b];
                m1 = m1 + dm1[b];
            }
            else if constexpr (! kKnown)
            {
                const Plan& pl = plans[-(V0 + b)];
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
            Vec a2, a3;
            if constexpr (Moving)
            {
                s.a1[b] = a1;
                s.m1[b] = m1;
                const Vec g = load (f.lanes->g + o);
                a2 = a1 * g;
                a3 = a2 * g;
            }
            else
            {
                a2 = load (f.lanes->a2 + o);
                a3 = load (f.lanes->a3 + o);
            }
            const Vec ic1 = s.ic1[b], ic2 = s.ic2[b];
            const Vec d = v - ic2;
            const Vec bp = a1 * ic1 + a2 * d;
            const Vec lp = ic2 + a2 * ic1 + a3 * d;
            s.ic1[b] = twiceLess (two, bp, ic1);
            s.ic2[b] = twiceLess (two, lp, ic2);
            s.out[b] = v + m1 * bp;
        }

        if constexpr (kTop)
        {
            // The last band's output: sample row - (G - 1) of the top vector.
            const int sample = topRow + r - (G - 1);
            if (runs (kPart - 1))
            {
                f.output[2 * sample] = s.out[kPart - 1][W - 2];
                f.output[2 * sample + 1] = s.out[kPart - 1][W - 1];
            }
        }
    }
}

// A group with the pair at a tick's edge on vectors J and J + 1 of the
// part, if that is what key says (else tries the pairs above).
template <int W>
template <int V0, int J, bool Edged>
__attribute__ ((always_inline)) inline bool Wavefront<W>::sweepEdgePair (unsigned key, const Frame& f, const double* input, int q, Sweep& s,
                                                                        const Vec* da1, const Vec* dm1, Vec* link) noexcept
{
    constexpr int kPart = partFor (true);
    if constexpr (J + 1 >= kPart)
        return false;
    else
    {
        constexpr unsigned kEdges = 3u << J, kEntering = 1u << J;
        if (key != (kEdges | kEntering << 8))
            return sweepEdgePair<V0, J + 1, Edged> (key, f, input, q, s, da1, dm1, link);

        sweepGroup<V0, kEdges, kEntering, true, Edged> (f, input, q, s, kEdges, da1, dm1, link);
        return true;
    }
}

// A part's states and coefficients from the lanes, and back; a part whose
// coefficients moved leaves a2 and a3 as the kernels work them out.
template <int W>
template <int V0, int P>
__attribute__ ((always_inline)) inline void Wavefront<W>::takeStates (const BellLanes& lanes, Sweep& s) noexcept
{
#pragma GCC unroll 8
    for (int b = 0; b < P; ++b)
    {
        const int o = (V0 + b) * W;
        s.ic1[b] = load (lanes.ic1 + o);
        s.ic2[b] = load (lanes.ic2 + o);
        s.a1[b] = load (lanes.a1 + o);
        s.m1[b] = load (lanes.m1 + o);
    }
}

template <int W>
template <int V0, int P, bool Moving>
__attribute__ ((always_inline)) inline void Wavefront<W>::putStates (BellLanes& lanes, const Sweep& s) noexcept
{
#pragma GCC unroll 8
    for (int b = 0; b < P; ++b)
    {
        const int o = (V0 + b) * W;
        store (lanes.ic1 + o, s.ic1[b]);
        store (lanes.ic2 + o, s.ic2[b]);
        if constexpr (Moving)
        {
            const Vec g = load (lanes.g + o);
            store (lanes.a1 + o, s.a1[b]);
            store (lanes.m1 + o, s.m1[b]);
            store (lanes.a2 + o, s.a1[b] * g);
            store (lanes.a3 + o, s.a1[b] * g * g);
        }
    }
}

// Groups qBegin ... qEnd - 1 of the part from vector V0 up.
template <int W>
template <int V0, bool Moving, bool Edged>
__attribute__ ((noinline)) void Wavefront<W>::sweepPart (const Frame& f, const double* input, int qBegin, int qEnd, Vec* lastOut, Vec* link) noexcept
{
    BellLanes& lanes = *f.lanes;
    constexpr int kPart = partFor (Moving);
    constexpr auto kH = (unsigned) kPart;
    // The top vector of a part beginning the next tick, its upper neighbour
    // in the part above.
    constexpr unsigned kTopBit = 1u << (kPart - 1);
    constexpr unsigned kTopEnters = kTopBit | kTopBit << 8;
    Sweep s;
    takeStates<V0, kPart> (lanes, s);
#pragma GCC unroll 8
    for (int b = 0; b < kPart; ++b)
        s.out[b] = lastOut[V0 + b];

    for (int q = qBegin; q < qEnd && ! Moving; ++q)
        sweepGroup<V0, 0, 0, false, Edged> (f, input, q, s, 0, nullptr, nullptr, link + (q - qBegin) * G);

    for (int q = qBegin; q < qEnd && Moving; ++q)
    {
        // The steps each vector takes: a still vector adds zeros, which
        // leaves it exactly where it is; one at a tick's edge starts with
        // the ending tick's.
        const Plan* plans = f.plans + q + kVectors;
        Vec da1[kH], dm1[kH];
        unsigned edges = 0, entering = 0;
#pragma GCC unroll 8
        for (int b = 0; b < kPart; ++b)
        {
            const int o = (V0 + b) * W;
            if (Edged && ! isInRun (f, q, V0 + b))
            {
                // No plan is worked out for rows outside the run.
                da1[b] = dm1[b] = Vec {};
                continue;
            }
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
        // rows are G earlier, ends the last; the pair may straddle two
        // parts. Anything else goes the general way.
        Vec* groupLink = link + (q - qBegin) * G;
        const unsigned key = edges | entering << 8;
        if (key == 0)
            sweepGroup<V0, 0, 0, true, Edged> (f, input, q, s, edges, da1, dm1, groupLink);
        else if (key == kTopEnters)
            sweepGroup<V0, kTopBit, kTopBit, true, Edged> (f, input, q, s, edges, da1, dm1, groupLink);
        else if (key == 1)
            sweepGroup<V0, 1, 0, true, Edged> (f, input, q, s, edges, da1, dm1, groupLink);
        else if (! sweepEdgePair<V0, 0, Edged> (key, f, input, q, s, da1, dm1, groupLink))
            sweepGroup<V0, kAnyEdges, 0, true, Edged> (f, input, q, s, edges, da1, dm1, groupLink);
    }

#pragma GCC unroll 8
    for (int b = 0; b < kPart; ++b)
        lastOut[V0 + b] = s.out[b];
    putStates<V0, kPart, Moving> (lanes, s);
}

// Groups qBegin ... qEnd - 1, all inside the run, with every vector
// stepping plainly, standing still or at a tick's edge, a tile of groups
// at a time.
template <int W>
template <bool Moving, bool Edged>
inline void Wavefront<W>::sweep (const Frame& f, const double* input, int qBegin, int qEnd, Vec* lastOut) noexcept
{
    Vec link[(unsigned) (kTileGroups * G)];
    for (int q = qBegin; q < qEnd; q += kTileGroups)
    {
        const int end = q + kTileGroups < qEnd ? q + kTileGroups : qEnd;
        sweepFrom<0, Moving, Edged> (f, input, q, end, lastOut, link);
    }
}

// Groups qBegin ... qEnd - 1 that the sweep takes. With one band pair per
// vector these may include groups where the wavefront fills or drains: the
// groups with every vector inside the run go the plain way, the others
// edged. Wider vectors sweep only groups inside the run.
template <int W>
template <bool Moving>
inline void Wavefront<W>::sweepStretch (const Frame& f, const double* input, int qBegin, int qEnd, Vec* lastOut) noexcept
{
    if constexpr (G > 1)
        sweep<Moving, false> (f, input, qBegin, qEnd, lastOut);
    else
    {
        const auto clampTo = [qEnd] (int q, int from) { return q < from ? from : q > qEnd ? qEnd : q; };
        const int insideBegin = clampTo (kVectors - 1, qBegin);
        const int insideEnd = clampTo (f.numSamples, insideBegin);

        if (qBegin < insideBegin)
            sweep<Moving, true> (f, input, qBegin, insideBegin, lastOut);
        if (insideBegin < insideEnd)
            sweep<Moving, false> (f, input, insideBegin, insideEnd, lastOut);
        if (insideEnd < qEnd)
            sweep<Moving, true> (f, input, insideEnd, qEnd, lastOut);
    }
}

// The parts from vector V0 up, lowest first. Each part reads its link row
// before it writes its own, so one link serves every pair of neighbours.
template <int W>
template <int V0, bool Moving, bool Edged>
__attribute__ ((always_inline)) inline void Wavefront<W>::sweepFrom (const Frame& f, const double* input, int qBegin, int qEnd, Vec* lastOut,
                                                                    Vec* link) noexcept
{
    constexpr int kPart = partFor (Moving);
    sweepPart<V0, Moving, Edged> (f, input, qBegin, qEnd, lastOut, link);
    if constexpr (V0 + kPart < kVectors)
        sweepFrom<V0 + kPart, Moving, Edged> (f, input, qBegin, qEnd, lastOut, link);
}

// G rows of one vector of a short run (group j of the vector), by the
// patterns of the rows' place: the run's first group (lanes ahead of the
// first sample wait), its last whole group (where a plain ending lands),
// the group past its end (lanes after the last sample wait), or plain.
template <int W>
template <int Rows, int Shape, bool Top>
__attribute__ ((always_inline)) inline void Wavefront<W>::shortRows (const Frame& f, int o, int j, const Vec* below, Vec* carry, Vec& ic1,
                                                                    Vec& ic2, Vec& a1, Vec& m1, Vec& out, Vec da1, Vec dm1) noexcept
{
    constexpr bool kEdge = Rows == startRows || Rows == endRows;
    const Mask lag = pairLag();
    const Vec two = opaqueTwo();
    const BellLanes& lanes = *f.lanes;
    const BellTick& tick = *f.shared->cur;

#pragma GCC unroll 8
    for (int r = 0; r < G; ++r)
    {
        carry[r] = out;
        const Vec v = feed (below[r], out);

        Mask inside = lag > splat (r);
        if constexpr (Rows == startRows)
            inside = lag <= splat (r);

        Vec a2, a3;
        if constexpr (Shape == holding)
        {
            a2 = load (lanes.a2 + o);
            a3 = load (lanes.a3 + o);
        }
        else
        {
            if constexpr (kEdge)
            {
                Mask steps = inside;
                if constexpr (Rows == endRows && Shape == endingPlainly)
                    steps = lag > splat (r + 1);
                a1 = steps ? a1 + da1 : a1;
                m1 = steps ? m1 + dm1 : m1;
            }
            else
            {
                a1 = a1 + da1;
                m1 = m1 + dm1;
            }

            if constexpr (Rows == endRows && Shape == endingPlainly)
            {
                const Mask lands = lag == splat (r + 1);
                a1 = lands ? load (tick.landA1 + o) : a1;
                m1 = lands ? load (tick.landM1 + o) : m1;
            }
            if constexpr (Rows == landingRows)
            {
                if (r == G - 1)
                {
                    const Mask lands = lag == 0;
                    a1 = lands ? load (tick.landA1 + o) : a1;
                    m1 = lands ? load (tick.landM1 + o) : m1;
                }
            }
            const Vec g = load (lanes.g + o);
            a2 = a1 * g;
            a3 = a2 * g;
        }

        const Vec d = v - ic2;
        const Vec bp = a1 * ic1 + a2 * d;
        const Vec lp = ic2 + a2 * ic1 + a3 * d;
        Vec next1 = twiceLess (two, bp, ic1);
        Vec next2 = twiceLess (two, lp, ic2);
        if constexpr (kEdge)
        {
            next1 = inside ? next1 : ic1;
            next2 = inside ? next2 : ic2;
        }
        ic1 = next1;
        ic2 = next2;
        out = v + m1 * bp;

        if constexpr (Top)
        {
            const int sample = j * G + r - (G - 1);
            if (sample >= 0 && sample < f.numSamples)
            {
                f.output[2 * sample] = out[W - 2];
                f.output[2 * sample + 1] = out[W - 1];
            }
        }
    }
}

// The part from vector V0 up over every group of a short run; each part
// reads its link row before it writes its own, so one link serves every
// pair of neighbours, as in the long sweeps.
template <int W>
template <int V0, int Shape>
__attribute__ ((noinline)) void Wavefront<W>::sweepShortPart (const Frame& f, const double* input, Vec* link) noexcept
{
    constexpr int kPart = kShortPart;
    constexpr bool kMoving = Shape != holding;
    constexpr bool kTopPart = V0 + kPart == kVectors;
    constexpr auto kH = (unsigned) kPart;
    BellLanes& lanes = *f.lanes;
    const BellTick& tick = *f.shared->cur;
    const int past = f.numSamples / G;   // a vector's group past the run's end

    Sweep s;
    takeStates<V0, kPart> (lanes, s);
    Vec da1[kH], dm1[kH];
#pragma GCC unroll 8
    for (int b = 0; b < kPart; ++b)
    {
        const int o = (V0 + b) * W;
        s.out[b] = Vec {};
        da1[b] = kMoving ? load (tick.da1 + o) : Vec {};
        dm1[b] = kMoving ? load (tick.dm1 + o) : Vec {};
    }

    const int lastGroup = kVectors - 1 + past;
    for (int q = V0; q <= lastGroup; ++q)
    {
        Vec below[(unsigned) G];
#pragma GCC unroll 8
        for (int r = 0; r < G; ++r)
        {
            if constexpr (V0 == 0)
                below[r] = q <= past ? loadInput (input + 2 * (q * G + r) - (W - 2)) : Vec {};
            else
                below[r] = link[q * G + r];
        }

#pragma GCC unroll 8
        for (int b = 0; b < kPart; ++b)
        {
            const int j = q - (V0 + b);
            const int o = (V0 + b) * W;
            Vec carry[(unsigned) G];
            const bool top = kTopPart && b == kPart - 1;

#define ZEL_SHORT_ROWS(R)                                                                                              \
    (top ? shortRows<R, Shape, true> (f, o, j, below, carry, s.ic1[b], s.ic2[b], s.a1[b], s.m1[b], s.out[b], da1[b], dm1[b])     \
         : shortRows<R, Shape, false> (f, o, j, below, carry, s.ic1[b], s.ic2[b], s.a1[b], s.m1[b], s.out[b], da1[b], dm1[b]))
            if (j < 0 || j > past)
            {
                // Outside the run: the vector's outputs stand.
#pragma GCC unroll 8
                for (int r = 0; r < G; ++r)
                    carry[r] = s.out[b];
            }
            else if (j == 0)
                ZEL_SHORT_ROWS (startRows);
            else if (j == past)
                ZEL_SHORT_ROWS (endRows);
            else if (Shape == endingPlainly && j == past - 1)
                ZEL_SHORT_ROWS (landingRows);
            else
                ZEL_SHORT_ROWS (plainRows);
#undef ZEL_SHORT_ROWS

#pragma GCC unroll 8
            for (int r = 0; r < G; ++r)
                below[r] = carry[r];
        }

        if constexpr (! kTopPart)
        {
#pragma GCC unroll 8
            for (int r = 0; r < G; ++r)
                link[q * G + r] = below[r];
        }
    }

    putStates<V0, kPart, kMoving> (lanes, s);
}

template <int W>
template <int V0, int Shape>
inline void Wavefront<W>::sweepShortFrom (const Frame& f, const double* input, Vec* link) noexcept
{
    sweepShortPart<V0, Shape> (f, input, link);
    if constexpr (V0 + kShortPart < kVectors)
        sweepShortFrom<V0 + kShortPart, Shape> (f, input, link);
}

template <int W>
inline void Wavefront<W>::sweepShortRun (const Frame& f, const double* input, TickShape shape) noexcept
{
    static_assert (kVectors % kShortPart == 0);
    Vec link[(unsigned) (kVectors * G + kLongestShortRun)];
    if (shape == holding)
        sweepShortFrom<0, holding> (f, input, link);
    else if (shape == continuing)
        sweepShortFrom<0, continuing> (f, input, link);
    else
        sweepShortFrom<0, endingPlainly> (f, input, link);
}

} // namespace
} // namespace vo::plugins::zel
