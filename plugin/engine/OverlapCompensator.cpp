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

bool OverlapCompensator::compensate (const std::array<float, kBandCount>& wanted,
                                     std::array<float, kBandCount>& gains) const noexcept
{
    // A neighbour's contribution interpolates linearly between the table's
    // 1 dB depth steps. Each band's step and fraction are kept current as the
    // pass rewrites the gains: a gain is read up to eight times per pass but
    // changes at most once.
    std::array<int, kBandCount> step {};
    std::array<float, kBandCount> fraction {};
    const auto locate = [&] (int band)
    {
        const float depth = std::clamp (-gains[(size_t) band], 0.0f, kMaxCutDb);
        const int q = (int) depth;
        step[(size_t) band] = q;
        fraction[(size_t) band] = depth - (float) q;
    };

    for (int b = 0; b < kBandCount; ++b)
        locate (b);

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
            locate (i);
            continue;
        }

        float sum = 0.0f;
        for (int n = std::max (0, i - kReach); n <= std::min (kBandCount - 1, i + kReach); ++n)
        {
            if (n == i || gains[(size_t) n] == 0.0f)
                continue;

            const auto& row = table[(size_t) n][(size_t) (i - n + kReach)];
            const int q = step[(size_t) n];
            const float lower = row[(size_t) q];
            const float upper = q + 1 < kDepthSteps ? row[(size_t) (q + 1)] : lower;
            sum += lower + (upper - lower) * fraction[(size_t) n];
        }

        const float g = std::clamp (c - sum, -kMaxCutDb, 0.0f);
        if (std::abs (g - gain) > kConvergedDb)
            notConverged = true;
        gain = g;
        locate (i);
    }

    return notConverged;
}

} // namespace vo::plugins::zel
