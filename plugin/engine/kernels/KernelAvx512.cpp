// Built with the compiler flags for its instruction set (see CMakeLists.txt);
// handed out only by kernels/EngineKernels.cpp, where the CPU has it.
#include "kernels/EngineKernels.h"

#include "bells/BellControlPass.h"
#include "bells/wavefront/BellWavefront.h"
#include "cut/CutExp.h"

namespace vo::plugins::zel
{

void runBellsAvx512 (const BellRun& run) noexcept
{
    Wavefront<8>::process (run);
}

void applyAmplitudesAvx512 (BellAmplitudeStep& step) noexcept
{
    ControlPass<8>::apply (step);
}

void landRampsAvx512 (BellRecords& bells) noexcept
{
    ControlPass<8>::land (bells);
}

void scheduleTickAvx512 (const BellRecords& bells, BellTick& tick) noexcept
{
    ControlPass<8>::schedule (bells, tick);
}

void mirrorLanesAvx512 (const BellRecords& bells, BellLanes& lanes, BellTick& tick) noexcept
{
    ControlPass<8>::mirror (bells, lanes, tick);
}

bool cutAmplitudesAvx512 (const float* gainDb, float weight, float* amplitude, int count) noexcept
{
    using Types = VectorTypes<8>;
    return CutExp<Types::Vec, Types::Bits>::amplitudes<Types::Floats> (gainDb, weight, amplitude, count);
}

} // namespace vo::plugins::zel
