// SSE2 is part of every x86-64 CPU: this kernel needs no extra compiler flags
// and is the fallback when the CPU has no AVX2.
#include "BellWavefront.h"

namespace vo::plugins::zel
{

void runBellsSse2 (const BellRun& run) noexcept
{
    Wavefront<2>::process (run);
}

} // namespace vo::plugins::zel
