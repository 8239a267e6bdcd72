#pragma once

#include "Bitmap.h"

#include <cstddef>
#include <optional>
#include <string>

namespace zel::artwork
{
/** Reads and writes 8-bit RGBA PNGs. Writing uses fixed compression settings
    and no time stamp, so the same pixels always give the same file. */
class PngFile
{
public:
    static bool write (const Bitmap& image, const std::string& path);
    static std::optional<Bitmap> read (const std::string& path);
    static std::optional<Bitmap> decode (const void* data, std::size_t size);
};
} // namespace zel::artwork
