#include "SvfFilter.h"

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

void SvfFilter::processCascade (SvfFilter& first, SvfFilter& second, const float* x0, const float* x1,
                                float* y0, float* y1, int numSamples) noexcept
{
    const SvfStep f { first.a1, first.a2, first.a3, first.m0, first.m1, first.m2 };
    const SvfStep s { second.a1, second.a2, second.a3, second.m0, second.m1, second.m2 };
    auto& f0 = first.channelStates[0];
    auto& f1 = first.channelStates[1];
    auto& s0 = second.channelStates[0];
    auto& s1 = second.channelStates[1];
    float f0a = f0.ic1eq, f0b = f0.ic2eq, f1a = f1.ic1eq, f1b = f1.ic2eq;
    float s0a = s0.ic1eq, s0b = s0.ic2eq, s1a = s1.ic1eq, s1b = s1.ic2eq;

    for (int i = 0; i < numSamples; ++i)
    {
        y0[i] = s (f (x0[i], f0a, f0b), s0a, s0b);
        y1[i] = s (f (x1[i], f1a, f1b), s1a, s1b);
    }

    f0 = { f0a, f0b };
    f1 = { f1a, f1b };
    s0 = { s0a, s0b };
    s1 = { s1a, s1b };
}

void SvfFilter::clearStates() noexcept
{
    channelStates.fill (State {});
}

} // namespace vo::plugins::zel
