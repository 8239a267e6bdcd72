#pragma once

// The engine's CPU-specific code, chosen once. Each instruction set's
// translation unit (KernelSse2.cpp, KernelAvx2.cpp, KernelAvx512.cpp,
// OverlapKernelAvx512.cpp) defines the entry points declared below;
// EngineKernels.cpp alone asks the CPU what it runs and hands out one table
// of them, which the bell bank passes on to its control and the cut bank to
// its amplitudes and overlap pass. This header is included by the translation
// units compiled for wider instruction sets, so it holds only plain data and
// declarations (see bells/BellLanes.h).

#include "bells/BellLanes.h"
#include "cut/OverlapTables.h"

namespace vo::plugins::zel
{

// How the cascade and the per-tick passes run. Every kernel gives the same
// bits; they differ only in speed and in the CPUs they need.
enum class BellKernel
{
    scalar,   // the plain chain, one bell after the other: any CPU
    sse2,     // wavefront, 2 lanes: any x86-64
    avx2,     // wavefront, 4 lanes
    avx512    // wavefront, 8 lanes
};

// One kernel's entry points. An empty entry means the plain code does that
// step: the kernel has no faster way (or, for runBells, is the plain chain).
struct EngineKernels
{
    BellKernel kernel = BellKernel::scalar;

    // The cascade over a run, and a queued tick's schedule in lane order from
    // the records the control has just set. All three or none.
    void (*runBells) (const BellRun& run) noexcept = nullptr;
    void (*scheduleTick) (const BellRecords& bells, BellTick& tick) noexcept = nullptr;
    // Every record into the lanes, and the schedule of the tick that starts.
    void (*mirrorLanes) (const BellRecords& bells, BellLanes& lanes, BellTick& tick) noexcept = nullptr;

    // The bell control's per-tick passes, where the vectors are wide enough
    // to gain from them.
    void (*applyAmplitudes) (BellAmplitudeStep& step) noexcept = nullptr;
    void (*landRamps) (BellRecords& bells) noexcept = nullptr;

    // The bells' amplitudes for count gains in dB (a multiple of the width)
    // times weight, with the vector exp's bits in every lane; returns whether
    // every product lay where those bits were checked (see cut/CutExp.h).
    bool (*cutAmplitudes) (const float* gainDb, float weight, float* amplitude, int count) noexcept = nullptr;

    // One overlap pass with the same bits as the plain one.
    bool (*compensateOverlap) (const OverlapTables& tables, const float* wanted, float* gains) noexcept = nullptr;
};

// Whether a kernel is built in and this CPU runs it; the fastest one that is.
bool isKernelAvailable (BellKernel kernel) noexcept;
BellKernel fastestKernel() noexcept;

// The entry points of the requested kernel, or of the fastest one when this
// CPU cannot run it. The table lives as long as the program.
const EngineKernels& kernelsFor (BellKernel requested) noexcept;

// What the instruction sets' files define.
void runBellsSse2 (const BellRun& run) noexcept;
void runBellsAvx2 (const BellRun& run) noexcept;
void runBellsAvx512 (const BellRun& run) noexcept;

void scheduleTickSse2 (const BellRecords& bells, BellTick& tick) noexcept;
void scheduleTickAvx2 (const BellRecords& bells, BellTick& tick) noexcept;
void scheduleTickAvx512 (const BellRecords& bells, BellTick& tick) noexcept;

void mirrorLanesSse2 (const BellRecords& bells, BellLanes& lanes, BellTick& tick) noexcept;
void mirrorLanesAvx2 (const BellRecords& bells, BellLanes& lanes, BellTick& tick) noexcept;
void mirrorLanesAvx512 (const BellRecords& bells, BellLanes& lanes, BellTick& tick) noexcept;

void applyAmplitudesAvx2 (BellAmplitudeStep& step) noexcept;
void applyAmplitudesAvx512 (BellAmplitudeStep& step) noexcept;

void landRampsAvx2 (BellRecords& bells) noexcept;
void landRampsAvx512 (BellRecords& bells) noexcept;

bool cutAmplitudesAvx2 (const float* gainDb, float weight, float* amplitude, int count) noexcept;
bool cutAmplitudesAvx512 (const float* gainDb, float weight, float* amplitude, int count) noexcept;

bool compensateOverlapAvx512 (const OverlapTables& tables, const float* wanted, float* gains) noexcept;

} // namespace vo::plugins::zel
