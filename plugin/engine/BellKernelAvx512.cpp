// Built with the compiler flags for its instruction set (see CMakeLists.txt);
// called only after the bank has checked that the CPU has it.
#include "BellControlPass.h"
#include "BellWavefront.h"

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

} // namespace vo::plugins::zel
