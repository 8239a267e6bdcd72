#include "OverlapCompensator.h"

#include <algorithm>
#include <cmath>

namespace vo::plugins::zel
{

namespace
{
    constexpr float kConvergedDb = 0.01f;
}

void OverlapCompensator::prepare (double sampleRate) noexcept
{
    for (int j = 0; j < kBandCount; ++j)
    {
        const double centre = bellCentreHz (j, sampleRate);
        for (int m = 0; m < kSlots; ++m)
        {
            const int k = j - kReach + m;
            for (int l = 0; l < kDepthSteps; ++l)
            {
                const bool inside = l != 0 && k >= 0 && k < kBandCount;
                table[(size_t) j][(size_t) m][(size_t) l] =
                    inside ? (float) bandResponseDb (sampleRate, centre, -(double) l, (double) bandCentreHz (k)) : 0.0f;
            }
        }
    }
}

// Linear interpolation over the 1 dB depth steps of the table.
float OverlapCompensator::neighbourContribution (int neighbour, int band, float neighbourGain) const noexcept
{
    const float depth = std::clamp (-neighbourGain, 0.0f, kMaxCutDb);
    const int q = (int) depth;
    const int slot = band - neighbour + kReach;
    const float lower = response (neighbour, slot, q);
    const float upper = q + 1 < kDepthSteps ? response (neighbour, slot, q + 1) : lower;
    return lower + (upper - lower) * (depth - (float) q);
}

bool OverlapCompensator::compensate (const std::array<float, kBandCount>& wanted,
                                     std::array<float, kBandCount>& gains) const noexcept
{
    bool notConverged = false;

    for (int i = 0; i < kBandCount; ++i)
    {
        const float c = wanted[(size_t) i];
        float& gain = gains[(size_t) i];

        if (c == 0.0f)
        {
            if (gain != 0.0f)
                notConverged = true;
            gain = 0.0f;
            continue;
        }

        float sum = 0.0f;
        for (int n = std::max (0, i - kReach); n <= std::min (kBandCount - 1, i + kReach); ++n)
            if (n != i && gains[(size_t) n] != 0.0f)
                sum += neighbourContribution (n, i, gains[(size_t) n]);

        const float g = std::clamp (c - sum, -kMaxCutDb, 0.0f);
        if (std::abs (g - gain) > kConvergedDb)
            notConverged = true;
        gain = g;
    }

    return notConverged;
}

} // namespace vo::plugins::zel
