// Built with the compiler flags for its instruction set (see CMakeLists.txt);
// called only after the bank has checked that the CPU has it.
#include "BellControlPass.h"
#include "BellWavefront.h"

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

} // namespace vo::plugins::zel
