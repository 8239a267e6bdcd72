// Built with the compiler flags for its instruction set (see CMakeLists.txt);
// called only after the bank has checked that the CPU has it.
#include "BellWavefront.h"

namespace vo::plugins::zel
{

void runBellsAvx2 (const BellRun& run) noexcept
{
    Wavefront<4>::process (run);
}

} // namespace vo::plugins::zel
