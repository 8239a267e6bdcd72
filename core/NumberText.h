#pragma once

#include <juce_core/juce_core.h>

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

namespace detail
{
    // Whether digits that std::from_chars found beyond double's range, in
    // [begin, end), lie above it rather than below: whether the power of ten
    // of their first significant digit, exponent included, is not negative.
    inline bool isBeyondLargest (const char* begin, const char* end)
    {
        const char* p = begin + (*begin == '-' ? 1 : 0);
        long long integerDigits = 0, zerosAfterPoint = 0;
        bool afterPoint = false, significant = false;
        for (; p != end && *p != 'e' && *p != 'E'; ++p)
        {
            if (*p == '.')
                afterPoint = true;
            else if (*p != '0' || significant)
            {
                significant = true;
                integerDigits += afterPoint ? 0 : 1;
            }
            else if (afterPoint)
                ++zerosAfterPoint;
        }
        const long long order = integerDigits > 0 ? integerDigits - 1 : -(zerosAfterPoint + 1);
        if (p == end)
            return order >= 0;

        const char* digits = p + 1 + (p + 1 != end && p[1] == '+' ? 1 : 0);
        long long exponent = 0;
        if (std::from_chars (digits, end, exponent).ec == std::errc::result_out_of_range)
            return *digits != '-';   // an exponent this long outweighs any count of digits
        return exponent >= -order;
    }

    struct ReadNumber
    {
        double value = 0.0;
        const char* end = nullptr;
        bool inRange = true;   // false: value is the infinity or zero the digits tend to
    };

    // std::from_chars after an optional '+'; empty when no number starts there.
    inline std::optional<ReadNumber> readNumber (const char* begin, const char* end)
    {
        if (begin != end && *begin == '+')
            ++begin;
        ReadNumber number;
        const auto parsed = std::from_chars (begin, end, number.value);
        number.end = parsed.ptr;
        if (parsed.ec == std::errc::result_out_of_range && parsed.ptr != begin)
        {
            const bool negative = *begin == '-';
            const double magnitude = isBeyondLargest (begin, parsed.ptr) ? std::numeric_limits<double>::infinity() : 0.0;
            number.value = negative ? -magnitude : magnitude;
            number.inRange = false;
            return number;
        }
        if (parsed.ec != std::errc())
            return std::nullopt;
        return number;
    }
} // namespace detail

// The number at the start of `text` after white space and an optional '+',
// whatever follows it (as the framework's getFloatValue reads it). Empty when
// the text does not start with a number; beyond double's range it reads as an
// infinity or a zero of the right sign.
inline std::optional<double> leadingNumber (const juce::String& text)
{
    const auto digits = text.trimStart().toStdString();
    const auto number = detail::readNumber (digits.data(), digits.data() + digits.size());
    if (! number.has_value())
        return std::nullopt;
    return number->value;
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

    const auto* end = text.data() + text.size();
    const auto number = detail::readNumber (text.data(), end);
    return number.has_value() && number->inRange && number->end == end && std::isfinite (number->value);
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
