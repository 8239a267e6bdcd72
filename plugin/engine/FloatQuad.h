#pragma once

// Four floats side by side, for the engine's per-hop and per-tick loops that
// run four bands, bins or samples at a time. Every lane does exactly what the
// scalar code does to one (the engine builds with -ffp-contract=off).
//
// Inline code: for translation units built for the baseline instruction set
// only, never for the bell kernels (see bells/BellLanes.h).

namespace vo::plugins::zel::quad
{

typedef float Quad __attribute__ ((vector_size (16)));
typedef int Quad32 __attribute__ ((vector_size (16)));

inline constexpr int kLanes = 4;

inline Quad load (const float* p) noexcept
{
    Quad v;
    __builtin_memcpy (&v, p, sizeof (Quad));
    return v;
}

inline void store (float* p, Quad v) noexcept { __builtin_memcpy (p, &v, sizeof (Quad)); }

inline Quad splat (float x) noexcept { return Quad { x, x, x, x }; }

inline Quad32 splat32 (int x) noexcept { return Quad32 { x, x, x, x }; }

// Whether any lane, or every lane, of a comparison's result is true.
inline bool any (Quad32 mask) noexcept { return (mask[0] | mask[1] | mask[2] | mask[3]) != 0; }
inline bool all (Quad32 mask) noexcept { return (mask[0] & mask[1] & mask[2] & mask[3]) != 0; }

} // namespace vo::plugins::zel::quad
