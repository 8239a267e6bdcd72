// SSE2 is part of every x86-64 CPU: this kernel needs no extra compiler flags
// and is the fallback when the CPU has no AVX2. Only kernels/EngineKernels.cpp
// hands these out.
#include "kernels/EngineKernels.h"

#include "bells/BellControlPass.h"
#include "bells/wavefront/BellWavefront.h"

namespace vo::plugins::zel
{

void runBellsSse2 (const BellRun& run) noexcept
{
    Wavefront<2>::process (run);
}

void scheduleTickSse2 (const BellRecords& bells, BellTick& tick) noexcept
{
    ControlPass<2>::schedule (bells, tick);
}

void mirrorLanesSse2 (const BellRecords& bells, BellLanes& lanes, BellTick& tick) noexcept
{
    ControlPass<2>::mirror (bells, lanes, tick);
}

} // namespace vo::plugins::zel
