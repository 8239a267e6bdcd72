#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zel::artwork
{
/** An 8-bit RGBA image with straight (not premultiplied) alpha, as stored in PNG. */
class Bitmap
{
public:
    Bitmap() = default;
    Bitmap (int width, int height);

    int width() const noexcept { return w; }
    int height() const noexcept { return h; }
    bool isEmpty() const noexcept { return w == 0 || h == 0; }

    std::uint8_t* pixel (int x, int y) noexcept { return &data[index (x, y)]; }
    const std::uint8_t* pixel (int x, int y) const noexcept { return &data[index (x, y)]; }
    std::uint8_t alphaAt (int x, int y) const noexcept { return data[index (x, y) + 3]; }

    const std::vector<std::uint8_t>& bytes() const noexcept { return data; }
    std::vector<std::uint8_t>& bytes() noexcept { return data; }

private:
    std::size_t index (int x, int y) const noexcept
    {
        return (static_cast<std::size_t> (y) * static_cast<std::size_t> (w) + static_cast<std::size_t> (x)) * 4u;
    }

    int w = 0;
    int h = 0;
    std::vector<std::uint8_t> data;
};
} // namespace zel::artwork
