#include "kernels/EngineKernels.h"

#include <initializer_list>

namespace vo::plugins::zel
{

namespace
{
    constexpr EngineKernels kScalar {};

#if ZEL_BELL_KERNELS
    // Two lanes are no faster than bell by bell for the control's passes,
    // nor than the plain four-lane code for the amplitudes.
    constexpr EngineKernels kSse2 { BellKernel::sse2, runBellsSse2, scheduleTickSse2, mirrorLanesSse2, nullptr, nullptr, nullptr, nullptr };

    // Only AVX-512 has an overlap pass of its own (its permute); the others
    // run the plain one.
    constexpr EngineKernels kAvx2 { BellKernel::avx2,  runBellsAvx2,      scheduleTickAvx2, mirrorLanesAvx2, applyAmplitudesAvx2,
                                    landRampsAvx2,     cutAmplitudesAvx2, nullptr };

    constexpr EngineKernels kAvx512 { BellKernel::avx512, runBellsAvx512,      scheduleTickAvx512,     mirrorLanesAvx512, applyAmplitudesAvx512,
                                      landRampsAvx512,    cutAmplitudesAvx512, compensateOverlapAvx512 };
#endif
} // namespace

bool isKernelAvailable (BellKernel kernel) noexcept
{
    if (kernel == BellKernel::scalar)
        return true;

#if ZEL_BELL_KERNELS
    __builtin_cpu_init();
    switch (kernel)
    {
        case BellKernel::sse2: return true;
        case BellKernel::avx2: return __builtin_cpu_supports ("avx2") != 0 && __builtin_cpu_supports ("fma") != 0;
        case BellKernel::avx512: return __builtin_cpu_supports ("avx512f") != 0;
        case BellKernel::scalar: break;
    }
#endif
    return false;
}

BellKernel fastestKernel() noexcept
{
    for (auto k : { BellKernel::avx512, BellKernel::avx2, BellKernel::sse2 })
        if (isKernelAvailable (k))
            return k;
    return BellKernel::scalar;
}

const EngineKernels& kernelsFor (BellKernel requested) noexcept
{
#if ZEL_BELL_KERNELS
    switch (isKernelAvailable (requested) ? requested : fastestKernel())
    {
        case BellKernel::sse2: return kSse2;
        case BellKernel::avx2: return kAvx2;
        case BellKernel::avx512: return kAvx512;
        case BellKernel::scalar: break;
    }
#else
    (void) requested;
#endif
    return kScalar;
}

} // namespace vo::plugins::zel
