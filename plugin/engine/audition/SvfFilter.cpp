#include "audition/SvfFilter.h"

#include <cmath>
#include <numbers>

namespace vo::plugins::zel
{

void SvfFilter::setSampleRate (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    clearStates();
    design();
}

void SvfFilter::design() noexcept
{
    const float amp = std::pow (10.0f, gainDb / 40.0f);
    auto g = (float) std::tan ((double) cutoff * std::numbers::pi / sampleRate);
    k = 1.0f / q;

    switch (type)
    {
        case lowPass:   m0 = 0.0f; m1 = 0.0f; m2 = 1.0f; break;
        case highPass:  m0 = 1.0f; m1 = -k; m2 = -1.0f; break;
        case bandPass:  m0 = 0.0f; m1 = 1.0f; m2 = 0.0f; break;
        case notch:     m0 = 1.0f; m1 = -k; m2 = 0.0f; break;
        case allPass:   m0 = 1.0f; m1 = -2.0f * k; m2 = 0.0f; break;
        case bell:
            k = 1.0f / (q * amp);
            m0 = 1.0f; m1 = k * (amp * amp - 1.0f); m2 = 0.0f;
            break;
        case lowShelf:
            g = g / std::sqrt (amp);
            m0 = 1.0f; m1 = k * (amp - 1.0f); m2 = amp * amp - 1.0f;
            break;
        case highShelf:
            g = g * std::sqrt (amp);
            m0 = amp * amp; m1 = k * (1.0f - amp) * amp; m2 = 1.0f - amp * amp;
            break;
        default:
            break;
    }

    a1 = 1.0f / ((g + k) * g + 1.0f);
    a2 = a1 * g;
    a3 = a1 * g * g;
}

float SvfFilter::processSample (float x, int channel) noexcept
{
    if (channel < 0 || channel >= kChannels)
        return x;

    auto& s = channelStates[(size_t) channel];
    const float d = x - s.ic2eq;
    const float bp = a1 * s.ic1eq + a2 * d;
    const float lp = s.ic2eq + a2 * s.ic1eq + a3 * d;
    s.ic1eq = 2.0f * bp - s.ic1eq;
    s.ic2eq = 2.0f * lp - s.ic2eq;
    return m1 * bp + m0 * x + m2 * lp;
}

namespace
{
    struct SvfStep
    {
        float a1, a2, a3, m0, m1, m2;

        float operator() (float x, float& ic1eq, float& ic2eq) const noexcept
        {
            const float d = x - ic2eq;
            const float bp = a1 * ic1eq + a2 * d;
            const float lp = ic2eq + a2 * ic1eq + a3 * d;
            ic1eq = 2.0f * bp - ic1eq;
            ic2eq = 2.0f * lp - ic2eq;
            return m1 * bp + m0 * x + m2 * lp;
        }
    };
} // namespace

// The two filters run as a wavefront: while the first takes sample i of both
// channels, the second takes the first's output for sample i - 2, so the four
// filter-channels are independent lanes of one vector (two samples apart, so
// that no lane waits for the whole vector of the iteration before). Each lane
// does exactly processSample's operations in the same order: the same bits.
void SvfFilter::processCascade (SvfFilter& first, SvfFilter& second, const float* x0, const float* x1,
                                float* y0, float* y1, int numSamples) noexcept
{
    constexpr int kLag = 2;

    const SvfStep f { first.a1, first.a2, first.a3, first.m0, first.m1, first.m2 };
    const SvfStep s { second.a1, second.a2, second.a3, second.m0, second.m1, second.m2 };
    auto& f0 = first.channelStates[0];
    auto& f1 = first.channelStates[1];
    auto& s0 = second.channelStates[0];
    auto& s1 = second.channelStates[1];

    if (numSamples <= kLag)
    {
        for (int i = 0; i < numSamples; ++i)
        {
            y0[i] = s (f (x0[i], f0.ic1eq, f0.ic2eq), s0.ic1eq, s0.ic2eq);
            y1[i] = s (f (x1[i], f1.ic1eq, f1.ic2eq), s1.ic1eq, s1.ic2eq);
        }
        return;
    }

    typedef float Quad __attribute__ ((vector_size (16)));

    // Lanes: first on channel 0, first on channel 1, second on 0, second on 1.
    const Quad a1 { f.a1, f.a1, s.a1, s.a1 };
    const Quad a2 { f.a2, f.a2, s.a2, s.a2 };
    const Quad a3 { f.a3, f.a3, s.a3, s.a3 };
    const Quad m0 { f.m0, f.m0, s.m0, s.m0 };
    const Quad m1 { f.m1, f.m1, s.m1, s.m1 };
    const Quad m2 { f.m2, f.m2, s.m2, s.m2 };

    // The first filter runs ahead by kLag samples...
    Quad older {}, newer {};
    older[0] = f (x0[0], f0.ic1eq, f0.ic2eq);
    older[1] = f (x1[0], f1.ic1eq, f1.ic2eq);
    newer[0] = f (x0[1], f0.ic1eq, f0.ic2eq);
    newer[1] = f (x1[1], f1.ic1eq, f1.ic2eq);

    Quad ic1 { f0.ic1eq, f1.ic1eq, s0.ic1eq, s1.ic1eq };
    Quad ic2 { f0.ic2eq, f1.ic2eq, s0.ic2eq, s1.ic2eq };

    for (int i = kLag; i < numSamples; ++i)
    {
        const Quad x { x0[i], x1[i], older[0], older[1] };
        const Quad d = x - ic2;
        const Quad bp = a1 * ic1 + a2 * d;
        const Quad lp = ic2 + a2 * ic1 + a3 * d;
        ic1 = 2.0f * bp - ic1;
        ic2 = 2.0f * lp - ic2;
        const Quad out = m1 * bp + m0 * x + m2 * lp;
        y0[i - kLag] = out[2];
        y1[i - kLag] = out[3];
        older = newer;
        newer = out;
    }

    f0 = { ic1[0], ic2[0] };
    f1 = { ic1[1], ic2[1] };
    s0 = { ic1[2], ic2[2] };
    s1 = { ic1[3], ic2[3] };

    // ...and the second catches up.
    y0[numSamples - 2] = s (older[0], s0.ic1eq, s0.ic2eq);
    y1[numSamples - 2] = s (older[1], s1.ic1eq, s1.ic2eq);
    y0[numSamples - 1] = s (newer[0], s0.ic1eq, s0.ic2eq);
    y1[numSamples - 1] = s (newer[1], s1.ic1eq, s1.ic2eq);
}

void SvfFilter::clearStates() noexcept
{
    channelStates.fill (State {});
}

} // namespace vo::plugins::zel
