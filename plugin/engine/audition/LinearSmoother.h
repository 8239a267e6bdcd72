#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace vo::plugins::zel
{

// A float that glides linearly to its target over a fixed number of samples,
// turning around from wherever it is when the target changes mid-ramp.
class LinearSmoother
{
public:
    void setRampLength (int samples) noexcept { rampLength = samples; }

    void setCurrentAndTarget (float v) noexcept
    {
        current = target = v;
        remaining = 0;
    }

    void setTarget (float newTarget) noexcept
    {
        if (nearlyEqual (newTarget, target))
            return;

        // Without a ramp length there is nothing to glide over.
        if (rampLength <= 0)
        {
            setCurrentAndTarget (newTarget);
            return;
        }

        target = newTarget;
        remaining = rampLength;
        step = (target - current) / (float) rampLength;
    }

    float getNext() noexcept
    {
        if (remaining <= 0)
            return target;

        if (--remaining == 0)
            current = target;
        else
            current += step;
        return current;
    }

    float getTarget() const noexcept { return target; }
    float getCurrent() const noexcept { return current; }
    int getRemaining() const noexcept { return remaining; }
    bool isRamping() const noexcept { return remaining > 0; }

private:
    static bool nearlyEqual (float a, float b) noexcept
    {
        const float diff = std::abs (a - b);
        return diff <= std::numeric_limits<float>::min()
            || diff <= std::numeric_limits<float>::epsilon() * std::max (std::abs (a), std::abs (b));
    }

    float current = 0.0f;
    float target = 0.0f;
    float step = 0.0f;
    int remaining = 0;
    int rampLength = 0;
};

} // namespace vo::plugins::zel
