#include "cut/OverlapCompensator.h"

#include "cut/OverlapPass.h"

#include <algorithm>

namespace vo::plugins::zel
{

void OverlapCompensator::prepare (double sampleRate) noexcept
{
    constexpr int kRow = OverlapTables::kSlopedRow;

    for (int j = 0; j < kBandCount; ++j)
    {
        const auto b = (size_t) j;
        const double centreHz = bellCentreHz (j, sampleRate);
        for (int m = 0; m < kSlots; ++m)
        {
            const int k = j - kReach + m;
            for (int l = 0; l < kDepthSteps; ++l)
            {
                const bool inside = l != 0 && k >= 0 && k < kBandCount;
                const float db = inside ? (float) bandResponseDb (sampleRate, centreHz, -(double) l, (double) bandCentreHz (k)) : 0.0f;
                if (m < kReach)
                    tables.below[b][l * kReach + m] = db;
                else if (m == kReach)
                    centre[b][(size_t) l] = db;
                else
                    tables.above[b][l * kRow + m - kReach - 1] = db;
            }
        }

        float* below = tables.below[b];
        std::copy_n (below + (kDepthSteps - 1) * kReach, kReach, below + kDepthSteps * kReach);

        for (int l = 0; l < kDepthSteps; ++l)
        {
            float* row = tables.above[b] + l * kRow;
            const float* next = l + 1 < kDepthSteps ? row + kRow : row;
            for (int k = 0; k < kReach; ++k)
                row[kReach + k] = next[k] - row[k];
        }

        for (int l = 0; l < OverlapTables::kNearSteps; ++l)
        {
            const float* row = tables.above[b] + std::min (l, kDepthSteps - 1) * kRow;
            tables.near[b][l] = row[0];
            tables.near[b][OverlapTables::kNearSteps + l] = row[kReach];
        }
    }
}

bool OverlapCompensator::compensate (const std::array<float, kBandCount>& wanted, std::array<float, kBandCount>& gains) const noexcept
{
    return OverlapPass<RowNear>::run (tables, wanted.data(), gains.data());
}

bool OverlapCompensator::compensate (const EngineKernels& kernels, const std::array<float, kBandCount>& wanted,
                                     std::array<float, kBandCount>& gains) const noexcept
{
    if (kernels.compensateOverlap != nullptr)
        return kernels.compensateOverlap (tables, wanted.data(), gains.data());
    return compensate (wanted, gains);
}

} // namespace vo::plugins::zel
