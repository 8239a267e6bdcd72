// Built with the compiler flags for its instruction set (see CMakeLists.txt);
// handed out only by kernels/EngineKernels.cpp, where the CPU has it.
#include "kernels/EngineKernels.h"

#include "bells/BellControlPass.h"
#include "bells/wavefront/BellWavefront.h"
#include "cut/CutExp.h"

namespace vo::plugins::zel
{

void runBellsAvx2 (const BellRun& run) noexcept
{
    Wavefront<4>::process (run);
}

void applyAmplitudesAvx2 (BellAmplitudeStep& step) noexcept
{
    ControlPass<4>::apply (step);
}

void landRampsAvx2 (BellRecords& bells) noexcept
{
    ControlPass<4>::land (bells);
}

void scheduleTickAvx2 (const BellRecords& bells, BellTick& tick) noexcept
{
    ControlPass<4>::schedule (bells, tick);
}

void mirrorLanesAvx2 (const BellRecords& bells, BellLanes& lanes, BellTick& tick) noexcept
{
    ControlPass<4>::mirror (bells, lanes, tick);
}

bool cutAmplitudesAvx2 (const float* gainDb, float weight, float* amplitude, int count) noexcept
{
    using Types = VectorTypes<4>;
    return CutExp<Types::Vec, Types::Bits>::amplitudes<Types::Floats> (gainDb, weight, amplitude, count);
}

} // namespace vo::plugins::zel
