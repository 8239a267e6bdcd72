#pragma once

#include <cstddef>

namespace vo::core
{

// Strict UTF-8 as RFC 3629 defines it, and no NUL bytes. The framework's own
// validity test lets overlong forms through (C0 80 decodes to NUL), and its
// string builder then sizes and copies such text differently and writes past
// its buffer; every text that reaches us from outside passes this check
// before it becomes a string.
class Utf8Check
{
public:
    static bool isWellFormed (const void* data, size_t size) noexcept;
    static bool isWellFormed (const char* nulTerminated) noexcept;
};

} // namespace vo::core
