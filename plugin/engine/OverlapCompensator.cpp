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
                    above[b][at * kReach + (size_t) (m - kReach - 1)] = db;
            }
        }

        const auto deepest = (size_t) ((kDepthSteps - 1) * kReach);
        std::copy_n (below[b].begin() + deepest, kReach, below[b].begin() + deepest + kReach);
        std::copy_n (above[b].begin() + deepest, kReach, above[b].begin() + deepest + kReach);
    }
}

bool OverlapCompensator::compensate (const std::array<float, kBandCount>& wanted,
                                     std::array<float, kBandCount>& gains) const noexcept
{
    // A pass is one long dependency chain: each band waits for the gain just
    // set below it. What lies on that chain is kept to the sum, the clamp and
    // one interpolation for the next band; everything else (the effect on the
    // bands further up, the effect of the old gains on the bands below them,
    // the table rows, the convergence test) is worked out beside it, four
    // bands ahead.
    //
    // Bands beyond the ends take out exactly +0, and so does a flat bell
    // (every table entry at depth 0 is +0, whatever the sign of the zero
    // fraction). A sum that starts at +0 can never become -0, so adding a +0
    // leaves it unchanged: summing every slot in order gives the bits of
    // summing only the neighbours that cut.
    //
    // Four floats a band, padded with flat bands beyond the ends:
    // fromBelow, from band n + kReach on: band n's effect on n+1 ... n+4 at
    // its new gain; fromAbove, from band n on: band n's effect on n-4 ... n-1
    // at its gain before the pass.
    alignas (16) std::array<float, (kBandCount + kReach) * kLanes> fromBelow, fromAbove;
    alignas (16) std::array<float, kBandCount> before, betStep;
    alignas (16) std::array<int, kBandCount> betRow;

    std::fill_n (fromBelow.begin(), kReach * kLanes, 0.0f);
    std::fill_n (fromAbove.begin() + kBandCount * kLanes, kReach * kLanes, 0.0f);

    // Locates four bands' gains before the pass between the 1 dB steps, lane
    // by lane exactly as one band at a time.
    const auto prime = [&] (int first)
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

        store (betStep.data() + first, stepDb);
        __builtin_memcpy (betRow.data() + first, &step, sizeof (step));

        for (int k = 0; k < kLanes; ++k)
        {
            const float* row = below[(size_t) (first + k)].data() + step[k] * kReach;
            store (fromAbove.data() + (first + k) * kLanes, interpolate (row, splat (fraction, k)));
        }
    };

    // Band i - 1's effect on band i.
    float nearest = 0.0f;
    Quad32 moved {};

    prime (0);

    for (int first = 0; first < kBandCount; first += kLanes)
    {
        if (first + kLanes < kBandCount)
            prime (first + kLanes);

        for (int i = first; i < first + kLanes; ++i)
        {
            const auto b = (size_t) i;
            const float c = wanted[b];
            const float* lower = fromBelow.data() + i * kLanes;
            const float* upper = fromAbove.data() + (i + 1) * kLanes;
            float* next = fromBelow.data() + (i + kReach) * kLanes;

            if (c == 0.0f)
            {
                gains[b] = 0.0f;
                nearest = 0.0f;
                store (next, Quad {});
                continue;
            }

            // The band just below comes last: it was set a moment ago, and
            // everything else can be summed while it is worked out.
            float sum = 0.0f;
            sum += lower[3];
            sum += lower[kLanes + 2];
            sum += lower[2 * kLanes + 1];
            sum += upper[3];
            sum += upper[kLanes + 2];
            sum += upper[2 * kLanes + 1];
            sum += upper[3 * kLanes];
            sum += nearest;

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

            // A gain mostly stays within the 1 dB step it had before the
            // pass: betting on that lets the row be read, and the fraction
            // taken, without waiting for a conversion. The fraction lies in
            // [0, 1) exactly when the bet holds (it is then exact, and
            // otherwise it is negative or at least 1); a lost bet only costs
            // time.
            const float* row = above[b].data() + betRow[b] * kReach;
            float fraction = depth - betStep[b];
            if (__builtin_expect (! (fraction >= 0.0f && fraction < 1.0f), 0))
            {
                const int q = (int) depth;
                row = above[b].data() + q * kReach;
                fraction = depth - (float) q;
            }

            nearest = row[0] + (row[kReach] - row[0]) * fraction;
            store (next, interpolate (row, splat (fraction)));
        }

        // Moved further than the tolerance, or cleared from a cut.
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
