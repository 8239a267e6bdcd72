// Built with the compiler flags for its instruction set (see CMakeLists.txt);
// handed out only by kernels/EngineKernels.cpp, where the CPU has it.
#include "kernels/EngineKernels.h"

#include "cut/OverlapPass.h"

#include <immintrin.h>

namespace vo::plugins::zel
{

namespace
{
    // The nearest band's share looked up in registers: the step's index picks
    // from a band's 32 steps with one permute across two registers, which
    // waits less than moving the index to an address and loading from it.
    // The other three shares still come from the row, off the chain.
    struct PermuteNear
    {
        static void effects (const OverlapTables& t, int band, float depth, OverlapPass<PermuteNear>::Quad& e, float& near) noexcept
        {
            using Pass = OverlapPass<PermuteNear>;

            // depth as the lowest lane of a register. Only the lowest lane of
            // anything below is used, so GCC is told to take the register the
            // float is in as it is, rather than clear the other lanes on the
            // chain; clang cannot tie operands of different sizes.
#if defined(__GNUC__) && ! defined(__clang__)
            __m128 d;
            asm ("" : "=x"(d) : "0"(depth));
#else
            const __m128 d = _mm_set_ss (depth);
#endif

            const __m512i step = _mm512_castsi128_si512 (_mm_cvttps_epi32 (d));
            const __m128 whole = _mm_roundscale_ss (d, d, _MM_FROUND_TO_ZERO);
            const __m128 fraction = _mm_sub_ss (d, whole);

            const float* lower = t.near[band];
            const float* slope = lower + OverlapTables::kNearSteps;
            const __m512 lowerAt = _mm512_permutex2var_ps (_mm512_load_ps (lower), step, _mm512_load_ps (lower + 16));
            const __m512 slopeAt = _mm512_permutex2var_ps (_mm512_load_ps (slope), step, _mm512_load_ps (slope + 16));
            near = _mm_cvtss_f32 (_mm_add_ss (_mm512_castps512_ps128 (lowerAt), _mm_mul_ss (_mm512_castps512_ps128 (slopeAt), fraction)));

            const int q = (int) depth;
            const float* row = t.above[band] + q * OverlapTables::kSlopedRow;
            e = Pass::load (row) + Pass::load (row + OverlapTables::kReach) * Pass::splat (_mm_cvtss_f32 (fraction));
        }
    };
} // namespace

bool compensateOverlapAvx512 (const OverlapTables& tables, const float* wanted, float* gains) noexcept
{
    return OverlapPass<PermuteNear>::run (tables, wanted, gains);
}

} // namespace vo::plugins::zel
