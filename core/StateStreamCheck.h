#pragma once

#include <cstddef>

namespace vo::core
{

// Walks a serialised value-tree stream without building anything and tells
// whether it is complete and well formed. The framework's reader trusts the
// counts it finds, so a hostile or damaged blob could make it allocate gigabytes
// or spin for minutes; we only hand it data that passed this check.
class StateStreamCheck
{
public:
    static constexpr int kMaxDepth = 32;

    // True when the bytes start with one complete value tree with a non-empty
    // type. Trailing bytes after the tree are allowed.
    static bool isWellFormed (const void* data, size_t size);

private:
    explicit StateStreamCheck (const void* data, size_t size);

    bool readTree (int depth);
    bool readVar (int depth);
    bool readCompressedInt (int& value);
    bool readString (bool mustBeNonEmpty);
    bool skip (size_t bytes);
    size_t remaining() const noexcept { return size - pos; }

    const unsigned char* bytes;
    size_t size;
    size_t pos = 0;
};

} // namespace vo::core
