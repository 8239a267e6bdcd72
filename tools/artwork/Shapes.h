#pragma once

#include "Noise.h"
#include "Surface.h"

#include <algorithm>
#include <cmath>

namespace zel::artwork
{
/** A round body's calibration circle in image pixels. */
struct Circle
{
    double cx;
    double cy;
    double radius;
};

/** A point relative to a circle, in units of its radius. */
struct Polar
{
    double u;
    double v;
    double rho;
};

inline Polar polarIn (const Circle& c, double x, double y) noexcept
{
    const auto u = (x - c.cx) / c.radius;
    const auto v = (y - c.cy) / c.radius;
    return { u, v, std::hypot (u, v) };
}

/** A stadium (a rectangle with fully rounded ends) spanning an image of the
    given size: how far a point lies inside its outline (negative outside) and
    the outward direction of the nearest edge. Between the end caps both depend
    on y alone, so the middle of a three-slice image stretches without banding. */
struct StadiumPoint
{
    double inset;
    double outX;
    double outY;
};

inline StadiumPoint stadiumPoint (double width, double height, double x, double y) noexcept
{
    const auto r = height / 2.0;
    const auto px = std::clamp (x, r, width - r);
    const auto dx = x - px;
    const auto dy = y - r;
    const auto d = std::hypot (dx, dy);
    return d > 1.0e-9 ? StadiumPoint { r - d, dx / d, dy / d } : StadiumPoint { r, 0.0, 1.0 };
}

/** Height of a quarter-round edge that starts at `from` and falls to the wall at from + radius. */
inline double roundedEdge (double rho, double from, double radius, double top) noexcept
{
    const auto d = std::max (0.0, rho - from);
    return top - radius + std::sqrt (std::max (0.0, radius * radius - d * d));
}

/** Distance-like measure whose level sets are regular hexagons (flats up and down). */
inline double hexDistance (double u, double v) noexcept
{
    const auto au = std::abs (u);
    const auto av = std::abs (v);
    return std::max (av, au * 0.8660254037844386 + av * 0.5);
}

/** Fine rings left by a lathe tool, in pixels of height: the tool's pitch with a
    depth that wanders from ring to ring, as on real turned metal. */
inline double latheRings (const Noise& noise, double radiusPx, double depth) noexcept
{
    constexpr double pitch = 1.6;
    const auto wander = 0.55 + 0.45 * noise.smooth1 (radiusPx * 0.045 + 11.0);
    return depth * wander * noise.smooth1 (radiusPx / pitch);
}

inline Material metal (Vec3 colour, double roughness) noexcept
{
    Material m;
    m.colour = colour;
    m.metal = 1.0;
    m.roughness = roughness;
    return m;
}

inline Material dielectric (Vec3 colour, double roughness) noexcept
{
    Material m;
    m.colour = colour;
    m.roughness = roughness;
    return m;
}

/** Gives a material concentric turning marks around a centre. */
inline Material turned (Material m, const Polar& p, double spread) noexcept
{
    if (p.rho > 1.0e-6)
    {
        m.grooveX = -p.v / p.rho;
        m.grooveY = p.u / p.rho;
        m.spread = spread;
    }
    return m;
}

/** Gives a material straight brushing along x. */
inline Material brushed (Material m, double spread) noexcept
{
    m.grooveX = 1.0;
    m.grooveY = 0.0;
    m.spread = spread;
    return m;
}
} // namespace zel::artwork
