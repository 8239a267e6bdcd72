#pragma once

// Shared between the bank and its instruction-set-specific kernels. This header
// is included by translation units compiled for wider instruction sets, so it
// holds only plain data: anything inline here could be emitted with AVX
// instructions and picked by the linker for code that runs on older CPUs.

namespace vo::plugins::zel
{

// The 64 bells in lane order: lane 2*band + set, so that one vector of any width
// holds both sets of consecutive bands and no layout depends on the width.
// This is the running state of the cascade: filter states and the
// coefficients each lane has reached.
struct BellLanes
{
    static constexpr int kLanes = 64;

    alignas (64) double ic1[kLanes];
    alignas (64) double ic2[kLanes];
    alignas (64) double a1[kLanes];
    alignas (64) double a2[kLanes];
    alignas (64) double a3[kLanes];
    alignas (64) double m1[kLanes];
    alignas (64) double g[kLanes];
};

// How the coefficients move through one tick, lane by lane: where they stand
// when the tick begins, the per-sample ramp step (zero on lanes that do not
// ramp) and where the ramp lands.
struct BellTick
{
    static constexpr int kLanes = BellLanes::kLanes;

    alignas (64) double startA1[kLanes];
    alignas (64) double startM1[kLanes];
    alignas (64) double da1[kLanes];
    alignas (64) double dm1[kLanes];
    alignas (64) double landA1[kLanes];
    alignas (64) double landM1[kLanes];
};

// The samples of a run from `start` on (up to the next segment) belong to one
// tick. Counted from start, samples before stepCount advance the ramps by one
// step and the sample at landAt (if not negative) puts them on their targets;
// the first sample of every segment but the run's first begins from the
// tick's start values. Segments after the first start on multiples of
// kSegmentAlignment and are at least that long.
struct BellSegment
{
    static constexpr int kSegmentAlignment = 4;

    int start = 0;
    int stepCount = 0;
    int landAt = -1;
    const BellTick* tick = nullptr;
};

// Where one kernel vector stands in a run's segments over one group of rows;
// the kernels work these out once per run, into storage the bank provides.
struct BellPlan
{
    const BellTick* cur;
    const BellTick* prev;
    long long segStart, stepCur, landCur, stepPrev, landPrev, lenPrev, crossLimit, edgeOffset;
    int motion;
    bool enters;
};

// One run of the cascade over up to kMaxSamples samples in one or more
// segments. Long runs are what the bank queues: the wavefront then fills and
// drains once for many ticks.
struct BellRun
{
    static constexpr int kMaxSamples = 512;
    static constexpr int kMaxSegments = 24;
    // One plan per group of rows a vector runs, for the narrowest kernel.
    static constexpr int kMaxPlans = kMaxSamples + 2 * BellLanes::kLanes / 2 + 8;
    // The kernels read whole vectors around each input pair.
    static constexpr int kPad = 16;

    BellLanes* lanes = nullptr;
    const double* input = nullptr;   // (set A, set B) pairs; kPad readable doubles on either side
    double* output = nullptr;        // (set A, set B) pairs
    int numSamples = 0;
    const BellSegment* segments = nullptr;
    int segmentCount = 0;
    BellPlan* plans = nullptr;   // kMaxPlans of them
};

// The 2 x 32 bells' coefficients and ramps, one array per quantity, indexed
// by filter (set * 32 + band). Laid out this way a tick's designs, landings
// and copies run as vector loops over all bells instead of record by record.
struct BellRecords
{
    static constexpr int kCount = BellLanes::kLanes;
    using Doubles = double[kCount];

    alignas (64) Doubles g {};
    alignas (64) Doubles k {};
    alignas (64) Doubles m1 {};
    alignas (64) Doubles a1 {};
    alignas (64) Doubles a2 {};
    alignas (64) Doubles a3 {};
    alignas (64) Doubles kTarget {};
    alignas (64) Doubles m1Target {};
    alignas (64) Doubles a1Target {};
    alignas (64) Doubles dm1 {};   // zero unless ramping
    alignas (64) Doubles da1 {};   // zero unless ramping
    alignas (64) float A[kCount] {};
    bool ramping[kCount] {};
};

// One tick's amplitudes (filter order, like the records) through the control's
// decisions: what the pass changed, how many ramps it started, how many run.
struct BellAmplitudeStep
{
    BellRecords* bells;
    float* last;          // the amplitudes of the previous tick; updated
    const float* target;

    unsigned long long changed;   // a bit per filter
    int started;
    int active;
    bool allUnity;
};

} // namespace vo::plugins::zel
