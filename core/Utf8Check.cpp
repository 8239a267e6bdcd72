#include "Utf8Check.h"

#include <cstdint>
#include <cstring>

namespace vo::core
{

namespace
{
bool isContinuationByte (unsigned char byte) noexcept { return (byte & 0xc0) == 0x80; }

// Number of bytes after the lead byte and the lead byte's payload bits, or
// false for a byte that cannot start a sequence.
bool decodeLead (unsigned char lead, size_t& extra, uint32_t& codePoint) noexcept
{
    if ((lead & 0xe0) == 0xc0)      { extra = 1; codePoint = lead & 0x1fu; return true; }
    if ((lead & 0xf0) == 0xe0)      { extra = 2; codePoint = lead & 0x0fu; return true; }
    if ((lead & 0xf8) == 0xf0)      { extra = 3; codePoint = lead & 0x07u; return true; }
    return false;
}
} // namespace

bool Utf8Check::isWellFormed (const void* data, size_t size) noexcept
{
    if (size == 0)
        return true;
    if (data == nullptr)
        return false;

    const auto* bytes = static_cast<const unsigned char*> (data);
    constexpr uint32_t kSmallestForLength[] = { 0, 0x80, 0x800, 0x10000 };
    size_t i = 0;

    while (i < size)
    {
        const auto lead = bytes[i];

        if (lead == 0)
            return false;

        if (lead < 0x80)
        {
            ++i;
            continue;
        }

        size_t extra = 0;
        uint32_t codePoint = 0;

        if (! decodeLead (lead, extra, codePoint) || size - i <= extra)
            return false;

        for (size_t k = 1; k <= extra; ++k)
        {
            if (! isContinuationByte (bytes[i + k]))
                return false;

            codePoint = (codePoint << 6) | (bytes[i + k] & 0x3fu);
        }

        if (codePoint < kSmallestForLength[extra] || codePoint > 0x10ffff
            || (codePoint >= 0xd800 && codePoint <= 0xdfff))
            return false;

        i += extra + 1;
    }

    return true;
}

bool Utf8Check::isWellFormed (const char* nulTerminated) noexcept
{
    return nulTerminated != nullptr && isWellFormed (nulTerminated, std::strlen (nulTerminated));
}

} // namespace vo::core
