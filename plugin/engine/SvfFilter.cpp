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

void SvfFilter::clearStates() noexcept
{
    channelStates.fill (State {});
}

} // namespace vo::plugins::zel
