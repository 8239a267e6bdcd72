#include "OverlapCompensator.h"

#include "FloatQuad.h"

#include <algorithm>

namespace vo::plugins::zel
{

namespace
{
    constexpr float kConvergedDb = 0.01f;

    // Four lanes: four neighbours of one band, or four bands side by side.
    using quad::kLanes;
    using quad::load;
    using quad::Quad;
    using quad::Quad32;
    using quad::splat;
    using quad::store;
    static_assert (kLanes == OverlapCompensator::kReach && kBandCount % kLanes == 0);

    // A neighbour's contribution interpolates linearly between the table's
    // 1 dB depth steps: `row` is one step, the row after it 1 dB deeper.
    Quad interpolate (const float* row, Quad fraction) noexcept
    {
        const Quad lower = load (row), upper = load (row + kLanes);
        return lower + (upper - lower) * fraction;
    }

    Quad splat (Quad v, int lane) noexcept { return splat (v[lane]); }
} // namespace

void OverlapCompensator::prepare (double sampleRate) noexcept
{
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
                const auto at = (size_t) l;
                if (m < kReach)
                    below[b][at * kReach + (size_t) m] = db;
                else if (m == kReach)
                    centre[b][at] = db;
                else
                    above[b][at * kSlopedRow + (size_t) (m - kReach - 1)] = db;
            }
        }

        const auto deepest = (size_t) ((kDepthSteps - 1) * kReach);
        std::copy_n (below[b].begin() + deepest, kReach, below[b].begin() + deepest + kReach);

        for (int l = 0; l < kDepthSteps; ++l)
        {
            float* row = above[b].data() + (size_t) l * kSlopedRow;
            const float* next = l + 1 < kDepthSteps ? row + kSlopedRow : row;
            for (size_t k = 0; k < (size_t) kReach; ++k)
                row[kReach + k] = next[k] - row[k];
        }
    }
}

bool OverlapCompensator::compensate (const std::array<float, kBandCount>& wanted,
                                     std::array<float, kBandCount>& gains) const noexcept
{
    // A pass is one long dependency chain: each band waits for the gain just
    // set below it. What lies on that chain is kept to the sum, the clamp and
    // one interpolation for the next band; what depends only on the gains
    // before the pass (the effect of the bands above) is worked out first,
    // and the convergence test after.
    //
    // Bands beyond the ends take out exactly +0, and so does a flat bell
    // (every table entry at depth 0 is +0, whatever the sign of the zero
    // fraction). A sum that starts at +0 can never become -0, so adding a +0
    // leaves it unchanged: summing every slot in order gives the bits of
    // summing only the neighbours that cut.
    //
    // fromAbove, four floats a band from band n on, padded with flat bands
    // beyond the top: band n's effect on n-4 ... n-1 at its gain before the
    // pass.
    alignas (16) std::array<float, (kBandCount + kReach) * kLanes> fromAbove;
    alignas (16) std::array<float, kBandCount> before, aboveSum;

    std::fill_n (fromAbove.begin() + kBandCount * kLanes, kReach * kLanes, 0.0f);

    // Locates four bands' gains before the pass between the 1 dB steps, lane
    // by lane exactly as one band at a time.
    for (int first = 0; first < kBandCount; first += kLanes)
    {
        const Quad old = load (gains.data() + first);
        store (before.data() + first, old);

        const Quad zero {}, deepest = splat (kMaxCutDb);
        Quad depth = -old;
        depth = depth < zero ? zero : depth; // std::clamp, signed zeros and all
        depth = deepest < depth ? deepest : depth;
        const Quad32 step = __builtin_convertvector (depth, Quad32);
        const Quad stepDb = __builtin_convertvector (step, Quad);
        const Quad fraction = depth - stepDb;

        for (int k = 0; k < kLanes; ++k)
        {
            const float* row = below[(size_t) (first + k)].data() + step[k] * kReach;
            store (fromAbove.data() + (first + k) * kLanes, interpolate (row, splat (fraction, k)));
        }
    }

    // The bands above come first in each sum, nearest first.
    for (int i = 0; i < kBandCount; ++i)
    {
        const float* upper = fromAbove.data() + (i + 1) * kLanes;
        float sum = 0.0f;
        sum += upper[3];
        sum += upper[kLanes + 2];
        sum += upper[2 * kLanes + 1];
        sum += upper[3 * kLanes];
        aboveSum[(size_t) i] = sum;
    }

    // The effects of the four bands below on the bands above each of them,
    // at the gains this pass has set: nearest in e1, which is the one the
    // chain waits for. They stay in registers rather than go through memory
    // on the chain.
    Quad e1 {}, e2 {}, e3 {}, e4 {};

    for (int i = 0; i < kBandCount; ++i)
    {
        const auto b = (size_t) i;
        const float c = wanted[b];

        Quad e {};
        if (c != 0.0f)
        {
            // Then the bands below in the order this pass set them, the one
            // just below last.
            float sum = aboveSum[b];
            sum += e4[3];
            sum += e3[2];
            sum += e2[1];
            sum += e1[0];

            // std::clamp (c - sum, -kMaxCutDb, 0.0f) and its negation, the
            // depth, with no negation on the chain: sum - c is -(c - sum)
            // exactly, but for a zero that comes out +0 where -0 was due,
            // which no row can tell apart (every entry at depth 0 is +0).
            const float v = c - sum;
            float g = v, depth = sum - c;
            if (v < -kMaxCutDb)
            {
                g = -kMaxCutDb;
                depth = kMaxCutDb;
            }
            else if (0.0f < v)
            {
                g = 0.0f;
                depth = 0.0f;
            }
            gains[b] = g;

            // The step and fraction as the plain interpolation takes them,
            // the row's slope read beside it rather than worked out here.
            // (Guessing the step from the gain before the pass loses often
            // enough while the cut moves that the mispredictions cost more
            // than the conversion.)
            const int q = (int) depth;
            const float* row = above[b].data() + (size_t) q * kSlopedRow;
            e = load (row) + load (row + kReach) * splat (depth - (float) q);
        }
        else
        {
            gains[b] = 0.0f;
        }

        e4 = e3;
        e3 = e2;
        e2 = e1;
        e1 = e;
    }

    // Moved further than the tolerance, or cleared from a cut.
    Quad32 moved {};
    for (int first = 0; first < kBandCount; first += kLanes)
    {
        const Quad old = load (before.data() + first), now = load (gains.data() + first);
        const Quad want = load (wanted.data() + first);
        const Quad distance = now - old, tolerance = splat (kConvergedDb);
        const Quad32 far = (distance > tolerance) | (-distance > tolerance); // std::abs (distance) > tolerance
        const Quad32 unset = want == Quad {};
        moved |= (unset & (old != Quad {})) | (~unset & far);
    }

    return quad::any (moved);
}

} // namespace vo::plugins::zel
