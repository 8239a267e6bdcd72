#pragma once

#include <bit>
#include <cstdint>

namespace vo::plugins::zel
{

// Whether any of n samples fails |x| <= limit (a NaN fails it too); limit is
// positive and finite. On the bit patterns: with the sign cleared, a float
// beyond the limit, an infinity and a NaN all read as larger integers than the
// limit, and an integer test over the whole run (no early exit: the answer is
// nearly always no) vectorises where the float comparison does not.
inline bool anyBeyond (const float* x, int n, float limit) noexcept
{
    const auto limitBits = std::bit_cast<std::uint32_t> (limit);
    std::uint32_t beyond = 0;
    for (int i = 0; i < n; ++i)
        beyond |= (std::bit_cast<std::uint32_t> (x[i]) & 0x7fffffffu) > limitBits ? 1u : 0u;
    return beyond != 0;
}

} // namespace vo::plugins::zel
