#pragma once

#include <juce_core/juce_core.h>

#include <cmath>
#include <cstdlib>

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

} // namespace vo::core
