#pragma once

#include <juce_core/juce_core.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace vo::core
{

// True for values we can hand to the audio path: numeric vars, and texts that
// are entirely one finite number. NaN, infinities and words are not.
inline bool isFiniteNumber (const juce::var& v)
{
    if (v.isInt() || v.isInt64() || v.isBool())
        return true;
    if (v.isDouble())
        return std::isfinite ((double) v);
    if (! v.isString())
        return false;

    const auto text = v.toString().trim().toStdString();
    if (text.empty())
        return false;

    char* end = nullptr;
    const double parsed = std::strtod (text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite (parsed);
}

// The stored value as a whole number when it is one that fits an int; the
// fallback otherwise. A plain cast of a huge stored double is undefined.
inline int wholeNumberOr (const juce::var& v, int fallback)
{
    if (! isFiniteNumber (v))
        return fallback;

    const double value = v;
    if (value < (double) std::numeric_limits<int>::min() || value > (double) std::numeric_limits<int>::max())
        return fallback;
    return (int) value;
}

} // namespace vo::core
