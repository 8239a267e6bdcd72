#pragma once

// Shared between the bank and its instruction-set-specific kernels. This header
// is included by translation units compiled for wider instruction sets, so it
// holds only plain data: anything inline here could be emitted with AVX
// instructions and picked by the linker for code that runs on older CPUs.

namespace vo::plugins::zel
{

// The 64 bells in lane order: lane 2*band + set, so that one vector of any width
// holds both sets of consecutive bands and no layout depends on the width.
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
    alignas (64) double da1[kLanes];
    alignas (64) double dm1[kLanes];
    alignas (64) double landA1[kLanes];   // what a1 becomes when the ramps land
    alignas (64) double landM1[kLanes];
};

// One run of the cascade over up to kMaxSamples samples that lie within one
// tick. Samples before stepCount advance the coefficient ramps by one step;
// the sample at landAt (if not negative) puts them on their targets.
struct BellRun
{
    static constexpr int kMaxSamples = 64;
    // The kernels read whole vectors around each input pair.
    static constexpr int kPad = 16;

    BellLanes* lanes = nullptr;
    const double* input = nullptr;   // (set A, set B) pairs; kPad readable doubles on either side
    double* output = nullptr;        // (set A, set B) pairs
    int numSamples = 0;
    int stepCount = 0;
    int landAt = -1;
};

void runBellsSse2 (const BellRun& run) noexcept;
void runBellsAvx2 (const BellRun& run) noexcept;
void runBellsAvx512 (const BellRun& run) noexcept;

} // namespace vo::plugins::zel
