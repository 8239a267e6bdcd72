#pragma once

#include <cstdint>

namespace zel::artwork
{
/** Seeded value noise built on an integer hash, so that every sample depends
    only on its position and the seed: threads may evaluate it in any order and
    still produce the same image. */
class Noise
{
public:
    explicit Noise (std::uint64_t seed) noexcept;

    /** Uniform in [0, 1) for a lattice point. */
    double lattice (std::int64_t ix, std::int64_t iy) const noexcept;

    /** Smooth noise in [-1, 1] with unit feature size. */
    double smooth (double x, double y) const noexcept;

    /** Smooth noise along one axis, in [-1, 1]. */
    double smooth1 (double x) const noexcept;

    /** Sum of octaves of smooth noise, roughly in [-1, 1]. */
    double fractal (double x, double y, int octaves) const noexcept;

private:
    std::uint64_t seed;
};
} // namespace zel::artwork
