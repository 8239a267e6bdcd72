#pragma once

#include <cmath>

namespace vo::plugins::zel
{

// Attack/release of one band's held cut, stepped once per tick. The times are
// one-pole time constants in milliseconds at the tick rate.
struct BandBallistics
{
    double rate = 0.0;
    float attackMs = 10.0f;
    float releaseMs = 150.0f;
    float attackCoeff = 0.0f;
    float releaseCoeff = 0.0f;
    float value = 0.0f;

    static float coefficientFor (float timeMs, double tickRate) noexcept
    {
        if (timeMs <= 0.0f || tickRate <= 0.0)
            return 0.0f;
        return (float) std::exp (-1.0 / ((double) timeMs * 0.001 * tickRate));
    }

    void updateCoefficients() noexcept
    {
        attackCoeff = coefficientFor (attackMs, rate);
        releaseCoeff = coefficientFor (releaseMs, rate);
    }

    // Deeper cuts use the attack constant; values within a thousandth of a dB of
    // flat snap to exactly 0 so the bells can return to bit-exact unity.
    float step (float target) noexcept
    {
        const float coeff = value > target ? attackCoeff : releaseCoeff;
        float y = (value - target) * coeff + target;
        if (! (y < -0.001f))
            y = 0.0f;
        value = y;
        return y;
    }
};

} // namespace vo::plugins::zel
