// The CPU kernel is chosen in one place: what the CPU runs decides, a forced
// kernel the CPU lacks falls back to the fastest one, and the table handed
// out is the chosen kernel's.

#include "bells/BellBank.h"
#include "kernels/EngineKernels.h"
#include "reference/EngineProbe.h"

#include <gtest/gtest.h>

namespace vo::test
{
using namespace vo::plugins::zel;
namespace
{

constexpr BellKernel kEveryKernel[] = { BellKernel::scalar, BellKernel::sse2, BellKernel::avx2, BellKernel::avx512 };

TEST (EngineKernels, KernelsAreChosenByTheCpuAndFallBackWhenMissing)
{
    BellBank bank;
    EXPECT_EQ (bank.getKernel(), fastestKernel());
    EXPECT_TRUE (isKernelAvailable (BellKernel::scalar));

    for (auto k : kEveryKernel)
    {
        bank.setKernel (k);
        EXPECT_EQ (bank.getKernel(), isKernelAvailable (k) ? k : fastestKernel());
        EXPECT_EQ (&bank.getKernels(), &kernelsFor (k));
    }
}

TEST (EngineKernels, EachTableIsItsKernelsWithTheEntryPointsItNeeds)
{
    for (auto k : kEveryKernel)
    {
        SCOPED_TRACE (nameOfKernel (k));
        const EngineKernels& kernels = kernelsFor (k);
        EXPECT_EQ (kernels.kernel, isKernelAvailable (k) ? k : fastestKernel());

        // The plain chain runs without a vector cascade; every wavefront
        // kernel schedules its own queued ticks.
        EXPECT_EQ (kernels.runBells == nullptr, kernels.kernel == BellKernel::scalar);
        EXPECT_EQ (kernels.scheduleTick == nullptr, kernels.runBells == nullptr);
        EXPECT_EQ (kernels.mirrorLanes == nullptr, kernels.runBells == nullptr);
        EXPECT_EQ (kernels.applyAmplitudes == nullptr, kernels.landRamps == nullptr);
    }

    EXPECT_EQ (kernelsFor (BellKernel::scalar).applyAmplitudes, nullptr);
    EXPECT_EQ (kernelsFor (BellKernel::scalar).cutAmplitudes, nullptr);
    EXPECT_EQ (kernelsFor (BellKernel::scalar).compensateOverlap, nullptr);
}

} // namespace
} // namespace vo::test
