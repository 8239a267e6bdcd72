#include "reference/EngineProbe.h"

namespace vo::plugins::zel
{

const char* nameOfKernel (BellKernel kernel) noexcept
{
    switch (kernel)
    {
        case BellKernel::scalar: return "scalar";
        case BellKernel::sse2: return "sse2";
        case BellKernel::avx2: return "avx2";
        case BellKernel::avx512: return "avx512";
    }
    return "?";
}

} // namespace vo::plugins::zel
