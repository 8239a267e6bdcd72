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
// -ffp-contract=off); the one fused operation, twiceLess, rounds where the
// plain pair does.
//
// This header holds the wavefront's shape: its vectors, the records its
// parts share and every part's declaration. The parts are defined in
// WavefrontPlan.h, WavefrontGroups.h and WavefrontSweep.h, the whole run in
// BellWavefront.h, which is what a kernel includes.

#include "bells/BellLanes.h"
#include "kernels/BellVectorTypes.h"

#if defined(__FMA__) || defined(__AVX512F__)
 #include <immintrin.h>
#endif

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
    // Every kernel runs a queue's ticks as one wavefront, so that the fill and
    // the drain are paid once per run, not per tick; the paths for a tick at a
    // time stay for building a kernel that cannot afford the plans.
    static constexpr bool kMultiTick = true;

    // The lanes and the ticks are aligned for the widest vector, and every
    // vector starts on a multiple of its width. SSE2 can take only aligned
    // loads as operands, which spares it registers; the wider sets take any.
    static Vec load (const double* p) noexcept
    {
        Vec v;
        if constexpr (W == 2)
            __builtin_memcpy (&v, __builtin_assume_aligned (p, sizeof (Vec)), sizeof (Vec));
        else
            __builtin_memcpy (&v, p, sizeof (Vec));
        return v;
    }

    // The input pairs, which vectors read from any sample on.
    static Vec loadInput (const double* p) noexcept
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

    // 2x - y, the states' update. Doubling is exact, so a fused multiply-add
    // rounds once where the plain pair rounds once too, to the same bits
    // (short of a state past half of double's range, which the bank never
    // reaches); where the CPU fuses, the two operations become one.
    static Vec twiceLess (Vec two, Vec x, Vec y) noexcept
    {
#if defined(__AVX512F__)
        if constexpr (W == 8)
            return (Vec) _mm512_fmsub_pd ((__m512d) two, (__m512d) x, (__m512d) y);
#endif
#if defined(__FMA__)
        if constexpr (W == 4)
            return (Vec) _mm256_fmsub_pd ((__m256d) two, (__m256d) x, (__m256d) y);
#endif
        return two * x - y;
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

    // How a run of one tick in whole groups (of at least two) moves, if
    // the same way from its first group to its last but one: nothing moves,
    // every sample steps, or every sample steps but the last, which lands
    // (a tick of its own, as every block of one tick runs). Short runs of
    // these shapes take fixed lane patterns at their ends.
    enum TickShape
    {
        anyShape,
        holding,
        continuing,
        endingPlainly
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

    // The group paths (WavefrontGroups.h): G rows of B neighbouring vectors
    // in registers, one path per way the coefficients move, and the choice of
    // the cheapest path that is exact for every lane.
    template <Motion M, bool Edge, bool Top, int B>
    __attribute__ ((always_inline)) static inline void group (const Frame& f, int p, int firstRow, const Vec* below, Vec* self, Vec* carry,
                                                              const Plan* plans, int stride) noexcept;
    template <int B>
    __attribute__ ((always_inline)) static inline void runInline (const Frame& f, int p, int q, const Vec* below, Vec* self, Vec* carry) noexcept;
    template <int B>
    static void runCall (const Frame& f, int p, int q, const Vec* below, Vec* self, Vec* carry) noexcept;
    template <int B>
    __attribute__ ((always_inline)) static inline void run (const Frame& f, int p, int q, const Vec* below, Vec* self, Vec* carry) noexcept;

    // The sweep (WavefrontSweep.h): long stretches of a multi-tick run whose
    // vectors all step plainly, stand still or sit at a tick's edge, and
    // (not Moving) runs in which nothing moves at all.
    // A sweep (below) runs the vectors in parts, one part after the other
    // over a tile of groups: the state of all the vectors does not fit in the
    // registers, and spilling it costs more than the arithmetic. Four
    // vectors give the core enough independent work while each waits on its
    // own previous row; but moving coefficients add two states and two steps
    // to each, and the sixteen registers of SSE2 then hold only two vectors.
    // Each part but the top one leaves its top vector's outputs in a link for
    // the part above.
    static constexpr int kMaxPart = 4;
    static constexpr int partFor (bool moving) noexcept { return moving && W == 2 ? 2 : kMaxPart; }
    // Long enough a tile that a part's call and its states' loads and stores
    // are paid over many rows.
    static constexpr int kTileGroups = 64 / G;
    static_assert (kVectors % kMaxPart == 0);

    // The running state of one part of a sweep, kept from group to group.
    struct Sweep
    {
        Vec ic1[(unsigned) kMaxPart], ic2[(unsigned) kMaxPart], a1[(unsigned) kMaxPart], m1[(unsigned) kMaxPart];
        Vec out[(unsigned) kMaxPart];
    };
    template <int V0, int P>
    __attribute__ ((always_inline)) static inline void takeStates (const BellLanes& lanes, Sweep& s) noexcept;
    template <int V0, int P, bool Moving>
    __attribute__ ((always_inline)) static inline void putStates (BellLanes& lanes, const Sweep& s) noexcept;

    // Sweep groups whose tick-edge vectors are not one of the patterns below.
    static constexpr unsigned kAnyEdges = ~0u;

    // Edged sweeps (one band pair per vector only, where a vector's lanes
    // are all in the run or all outside it) also take the groups where the
    // wavefront fills and drains: the vectors outside the run skip their rows.
    template <int V0, unsigned Edges, unsigned Entering, bool Moving, bool Edged>
    __attribute__ ((always_inline)) static inline void sweepGroup (const Frame& f, const double* input, int q, Sweep& s, unsigned edges,
                                                                   const Vec* da1, const Vec* dm1, Vec* link) noexcept;
    template <int V0, int J, bool Edged>
    __attribute__ ((always_inline)) static inline bool sweepEdgePair (unsigned key, const Frame& f, const double* input, int q, Sweep& s,
                                                                      const Vec* da1, const Vec* dm1, Vec* link) noexcept;
    template <int V0, bool Moving, bool Edged>
    __attribute__ ((noinline)) static void sweepPart (const Frame& f, const double* input, int qBegin, int qEnd, Vec* lastOut, Vec* link) noexcept;
    template <int V0, bool Moving, bool Edged>
    __attribute__ ((always_inline)) static inline void sweepFrom (const Frame& f, const double* input, int qBegin, int qEnd, Vec* lastOut,
                                                                  Vec* link) noexcept;
    // Whether vector p's row in group q is a sample of the run (G == 1).
    static bool isInRun (const Frame& f, int q, int p) noexcept { return q - p >= 0 && q - p < f.numSamples; }
    template <bool Moving>
    static void sweepStretch (const Frame& f, const double* input, int qBegin, int qEnd, Vec* lastOut) noexcept;
    template <bool Moving, bool Edged>
    static void sweep (const Frame& f, const double* input, int qBegin, int qEnd, Vec* lastOut) noexcept;

    // Short runs of a plain shape swept from end to end (WavefrontSweep.h):
    // every group of such a run fills or drains the wavefront, and the
    // group paths would take each with a call of its own and the states
    // through memory. Parts keep theirs in registers over the whole run,
    // of four vectors as in the long sweeps, two for SSE2 (where only
    // moving runs come here: the still sweep takes the ends already).
    static constexpr int kShortPart = W == 2 ? 2 : kMaxPart;
    static constexpr int kLongestShortRun = 64;
    static constexpr bool kSweepsStillShortRuns = W > 2;
    enum ShortRows
    {
        startRows,
        plainRows,
        landingRows,
        endRows
    };
    template <int Rows, int Shape, bool Top>
    __attribute__ ((always_inline)) static inline void shortRows (const Frame& f, int o, int j, const Vec* below, Vec* carry, Vec& ic1, Vec& ic2,
                                                                  Vec& a1, Vec& m1, Vec& out, Vec da1, Vec dm1) noexcept;
    template <int V0, int Shape>
    __attribute__ ((noinline)) static void sweepShortPart (const Frame& f, const double* input, Vec* link) noexcept;
    template <int V0, int Shape>
    static void sweepShortFrom (const Frame& f, const double* input, Vec* link) noexcept;
    static void sweepShortRun (const Frame& f, const double* input, TickShape shape) noexcept;

    // The plan (WavefrontPlan.h): where each vector stands in a run's
    // segments, worked out once per run.
    // A segment's schedule clamped to its length, worked out once per run.
    struct Span
    {
        int start, end;
        long long step, land;
        bool endsPlainly, startsPlainly;
    };

    static bool endsPlainly (const BellSegment& seg, int length) noexcept;
    static bool startsPlainly (const BellSegment& seg, int length) noexcept;
    static int segmentEnd (const BellRun& run, int k) noexcept;
    static Span spanOf (const BellSegment& seg, int end) noexcept;
    static Plan planFor (const BellSegment* segments, const Span* spans, int k, int R) noexcept;
    static TickShape tickShapeOf (const BellRun& run) noexcept;
    static bool holdsStill (const BellRun& run) noexcept;

    // The cascade (BellWavefront.h): a run from end to end.
    static void cascade (const BellRun& run) noexcept;
    static void process (const BellRun& run) noexcept;
    static void startTick (BellLanes& lanes, const BellTick& tick) noexcept;
};

} // namespace
} // namespace vo::plugins::zel
