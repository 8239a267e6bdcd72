#include "StateStreamCheck.h"

#include "Utf8Check.h"

#include <juce_core/juce_core.h>

#include <cstring>

namespace vo::core
{

namespace
{
    // Type markers of the framework's var stream format.
    enum VarMarker : unsigned char
    {
        kInt = 1,
        kBoolTrue = 2,
        kBoolFalse = 3,
        kDouble = 4,
        kString = 5,
        kInt64 = 6,
        kArray = 7,
        kBinary = 8,
        kUndefined = 9
    };
}

bool StateStreamCheck::isWellFormed (const void* data, size_t size)
{
    if (data == nullptr || size == 0)
        return false;

    StateStreamCheck check (data, size);
    return check.readTree (0);
}

StateStreamCheck::StateStreamCheck (const void* data, size_t sizeInBytes)
    : bytes (static_cast<const unsigned char*> (data)), size (sizeInBytes)
{
}

bool StateStreamCheck::skip (size_t count)
{
    if (count > remaining())
        return false;
    pos += count;
    return true;
}

bool StateStreamCheck::readCompressedInt (int& value)
{
    if (remaining() < 1)
        return false;

    const unsigned char sizeByte = bytes[pos++];
    if (sizeByte == 0)
    {
        value = 0;
        return true;
    }

    const size_t numBytes = sizeByte & 0x7f;
    if (numBytes > 4 || numBytes > remaining())
        return false;

    unsigned int magnitude = 0;
    for (size_t i = 0; i < numBytes; ++i)
        magnitude |= (unsigned int) bytes[pos + i] << (8 * i);
    pos += numBytes;

    if (magnitude > (unsigned int) std::numeric_limits<int>::max())
        return false;

    value = (sizeByte & 0x80) != 0 ? -(int) magnitude : (int) magnitude;
    return true;
}

bool StateStreamCheck::readString (bool mustBeNonEmpty)
{
    const auto* start = bytes + pos;
    const auto* terminator = static_cast<const unsigned char*> (std::memchr (start, 0, remaining()));
    if (terminator == nullptr)
        return false;

    const auto length = (size_t) (terminator - start);
    if (mustBeNonEmpty && length == 0)
        return false;
    if (! Utf8Check::isWellFormed (start, length))
        return false;

    pos += length + 1;
    return true;
}

bool StateStreamCheck::readVar (int depth)
{
    if (depth > kMaxDepth)
        return false;

    int numBytes = 0;
    if (! readCompressedInt (numBytes) || numBytes < 0)
        return false;
    if (numBytes == 0)
        return true;

    if (remaining() < 1)
        return false;
    const unsigned char marker = bytes[pos++];
    const auto payload = (size_t) numBytes - 1;

    switch (marker)
    {
        case kInt:       return skip (4);
        case kInt64:     return skip (8);
        case kDouble:    return skip (8);
        case kBoolTrue:
        case kBoolFalse: return true;
        case kUndefined: return skip (payload);
        case kBinary:    return skip (payload);

        case kString:
        {
            if (payload > remaining())
                return false;
            const auto* text = reinterpret_cast<const char*> (bytes + pos);
            const auto* terminator = static_cast<const char*> (std::memchr (text, 0, payload));
            const auto length = terminator != nullptr ? (size_t) (terminator - text) : payload;
            if (! Utf8Check::isWellFormed (text, length))
                return false;
            pos += payload;
            return true;
        }

        case kArray:
        {
            int count = 0;
            if (! readCompressedInt (count) || count < 0 || (size_t) count > remaining())
                return false;
            for (int i = 0; i < count; ++i)
                if (! readVar (depth + 1))
                    return false;
            return true;
        }

        default:
            return false;
    }
}

bool StateStreamCheck::readTree (int depth)
{
    if (depth > kMaxDepth || ! readString (true))
        return false;

    // Every property and child takes at least two bytes, so a count larger than
    // what is left can only come from damaged data.
    int numProps = 0;
    if (! readCompressedInt (numProps) || numProps < 0 || (size_t) numProps > remaining())
        return false;

    for (int i = 0; i < numProps; ++i)
        if (! readString (true) || ! readVar (depth + 1))
            return false;

    int numChildren = 0;
    if (! readCompressedInt (numChildren) || numChildren < 0 || (size_t) numChildren > remaining())
        return false;

    for (int i = 0; i < numChildren; ++i)
        if (! readTree (depth + 1))
            return false;

    return true;
}

} // namespace vo::core
