#pragma once

#include <juce_core/juce_core.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

namespace vo::core
{

// Numbers in our files, states and texts are written with a '.', whatever the
// host's locale says, so they are read with std::from_chars: the C library's
// readers follow the locale (a German host reads "0.5" as 0), and the
// framework's overflows its int arithmetic on long exponents.

// The number at the start of `text` after white space and an optional '+',
// whatever follows it (as the framework's getFloatValue reads it). Empty when
// the text does not start with a number; beyond float's range it reads as an
// infinity of the right sign.
inline std::optional<double> leadingNumber (const juce::String& text)
{
    const auto digits = text.trimStart().toStdString();
    const auto* begin = digits.data() + (! digits.empty() && digits.front() == '+' ? 1 : 0);
    const auto* end = digits.data() + digits.size();
    double value = 0.0;
    const auto parsed = std::from_chars (begin, end, value);
    if (parsed.ec == std::errc::result_out_of_range && parsed.ptr != begin)
    {
        const bool negative = *begin == '-';
        const auto tiny = std::find_if (begin, parsed.ptr, [] (char c) { return c == 'e' || c == 'E'; });
        const bool exponentNegative = tiny != parsed.ptr && tiny + 1 != parsed.ptr && tiny[1] == '-';
        if (exponentNegative)
            return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    if (parsed.ec != std::errc())
        return std::nullopt;
    return value;
}

// The framework's getFloatValue without its faults: 0 for a text that holds
// no number.
inline float floatFromText (const juce::String& text)
{
    const double value = leadingNumber (text).value_or (0.0);
    if (std::abs (value) > (double) std::numeric_limits<float>::max())
        return value > 0.0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return static_cast<float> (value);
}

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

    double parsed = 0.0;
    const auto* begin = text.data() + (text.front() == '+' ? 1 : 0);
    const auto result = std::from_chars (begin, text.data() + text.size(), parsed);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && std::isfinite (parsed);
}

// The number held by a value that passed isFiniteNumber, read the same way.
inline double numberOf (const juce::var& v)
{
    if (v.isString())
        return leadingNumber (v.toString()).value_or (0.0);
    return (double) v;
}

// The stored value as a whole number when it is one that fits an int; the
// fallback otherwise. A plain cast of a huge stored double is undefined.
inline int wholeNumberOr (const juce::var& v, int fallback)
{
    if (! isFiniteNumber (v))
        return fallback;

    const double value = numberOf (v);
    if (value < (double) std::numeric_limits<int>::min() || value > (double) std::numeric_limits<int>::max())
        return fallback;
    return (int) value;
}

} // namespace vo::core
