#include "Noise.h"

#include <cmath>

namespace zel::artwork
{
namespace
{
    std::uint64_t splitMix (std::uint64_t v) noexcept
    {
        v += 0x9e3779b97f4a7c15ull;
        v = (v ^ (v >> 30)) * 0xbf58476d1ce4e5b9ull;
        v = (v ^ (v >> 27)) * 0x94d049bb133111ebull;
        return v ^ (v >> 31);
    }

    double fade (double t) noexcept { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }
} // namespace

Noise::Noise (std::uint64_t seedToUse) noexcept : seed (splitMix (seedToUse)) {}

double Noise::lattice (std::int64_t ix, std::int64_t iy) const noexcept
{
    const auto h = splitMix (seed ^ splitMix (static_cast<std::uint64_t> (ix) * 0x632be59bd9b4e019ull
                                              + static_cast<std::uint64_t> (iy)));
    constexpr double toUnit = 1.0 / 9007199254740992.0; // 2^53
    return static_cast<double> (h >> 11) * toUnit;
}

double Noise::smooth (double x, double y) const noexcept
{
    const auto fx = std::floor (x);
    const auto fy = std::floor (y);
    const auto ix = static_cast<std::int64_t> (fx);
    const auto iy = static_cast<std::int64_t> (fy);
    const auto tx = fade (x - fx);
    const auto ty = fade (y - fy);
    const auto top = lattice (ix, iy) + (lattice (ix + 1, iy) - lattice (ix, iy)) * tx;
    const auto bottom = lattice (ix, iy + 1) + (lattice (ix + 1, iy + 1) - lattice (ix, iy + 1)) * tx;
    return 2.0 * (top + (bottom - top) * ty) - 1.0;
}

double Noise::smooth1 (double x) const noexcept
{
    const auto fx = std::floor (x);
    const auto ix = static_cast<std::int64_t> (fx);
    const auto t = fade (x - fx);
    return 2.0 * (lattice (ix, 0) + (lattice (ix + 1, 0) - lattice (ix, 0)) * t) - 1.0;
}

double Noise::fractal (double x, double y, int octaves) const noexcept
{
    auto sum = 0.0;
    auto amplitude = 0.5;
    auto frequency = 1.0;
    for (int i = 0; i < octaves; ++i)
    {
        sum += amplitude * smooth (x * frequency + 17.0 * i, y * frequency - 31.0 * i);
        amplitude *= 0.5;
        frequency *= 2.0;
    }
    return sum;
}
} // namespace zel::artwork
