#include "ToggleSwitch.h"

namespace zel::artwork
{
namespace
{
    constexpr double plateTop = 0.07;
    constexpr double plateEdge = 0.06;
    constexpr double nutApothem = 0.36;
    constexpr double nutTop = 0.16;
    constexpr double bushingOuter = 0.22;
    constexpr double bushingHole = 0.13;
    constexpr double bushingTop = 0.25;
    constexpr double holeFloor = 0.17;

    constexpr double leverTilt = 0.78; // radians from upright
    constexpr double shaftLength = 0.7;
    constexpr double shaftRadius = 0.08;
    constexpr double batFrom = 0.6;
    constexpr double batTo = 0.86;
    constexpr double batRadius = 0.135;
    constexpr double pivotHeight = 0.2;

    struct Ray
    {
        Vec3 origin;
        Vec3 direction;
    };

    // A capsule (a sphere swept along a segment) hit by a ray; distance or -1.
    double hitCapsule (const Ray& ray, Vec3 a, Vec3 b, double r) noexcept
    {
        const auto ba = b - a;
        const auto oa = ray.origin - a;
        const auto baba = ba.dot (ba);
        const auto bard = ba.dot (ray.direction);
        const auto baoa = ba.dot (oa);
        const auto rdoa = ray.direction.dot (oa);
        const auto oaoa = oa.dot (oa);
        const auto qa = baba - bard * bard;
        const auto qb = baba * rdoa - baoa * bard;
        const auto qc = baba * oaoa - baoa * baoa - r * r * baba;
        const auto disc = qb * qb - qa * qc;
        if (disc < 0.0)
            return -1.0;
        const auto t = (-qb - std::sqrt (disc)) / qa;
        const auto along = baoa + t * bard;
        if (along > 0.0 && along < baba)
            return t;
        const auto oc = along <= 0.0 ? oa : ray.origin - b;
        const auto cb = ray.direction.dot (oc);
        const auto cc = oc.dot (oc) - r * r;
        const auto capDisc = cb * cb - cc;
        return capDisc > 0.0 ? -cb - std::sqrt (capDisc) : -1.0;
    }

    Vec3 capsuleNormal (Vec3 pos, Vec3 a, Vec3 b) noexcept
    {
        const auto ba = b - a;
        const auto h = clamp01 ((pos - a).dot (ba) / ba.dot (ba));
        return (pos - a - ba * h).normalised();
    }
} // namespace

ToggleSwitch::ToggleSwitch (std::string nameToUse, Circle plateCircle, bool leverUp)
    : imageName (std::move (nameToUse)), plate (plateCircle), noise (0x5717c4)
{
    const auto sign = leverUp ? -1.0 : 1.0;
    const Vec3 axis { 0.0, sign * std::sin (leverTilt), std::cos (leverTilt) };
    pivot = { 0.0, 0.0, pivotHeight };
    shaftEnd = pivot + axis * shaftLength;
    batStart = pivot + axis * batFrom;
    batEnd = pivot + axis * batTo;
}

RenderSettings ToggleSwitch::settings() const
{
    RenderSettings s;
    s.occlusionRadius = 0.12 * plate.radius;
    s.heightFieldShadows = true;
    return s;
}

double ToggleSwitch::baseHeight (const Polar& p) const noexcept
{
    if (p.rho > 1.0)
        return 0.0;
    auto h = roundedEdge (p.rho, 1.0 - plateEdge, plateEdge, plateTop);
    const auto hex = hexDistance (p.u, p.v);
    if (hex < nutApothem)
        h = std::min (nutTop, nutTop + (0.40 - p.rho) * 0.9); // chamfered corners
    if (p.rho < bushingOuter)
        h = roundedEdge (p.rho, bushingOuter - 0.02, 0.02, bushingTop);
    if (p.rho < bushingHole)
        h = holeFloor;
    return h;
}

std::optional<ToggleSwitch::Hit> ToggleSwitch::lever (const Polar& p) const noexcept
{
    constexpr double above = 10.0;
    const Ray ray { { p.u, p.v, above }, { 0.0, 0.0, -1.0 } };
    const auto shaft = hitCapsule (ray, pivot, shaftEnd, shaftRadius);
    const auto bat = hitCapsule (ray, batStart, batEnd, batRadius);
    if (shaft < 0.0 && bat < 0.0)
        return std::nullopt;
    const auto batFirst = bat >= 0.0 && (shaft < 0.0 || bat < shaft);
    const auto t = batFirst ? bat : shaft;
    const Vec3 pos { p.u, p.v, above - t };
    const auto n = batFirst ? capsuleNormal (pos, batStart, batEnd) : capsuleNormal (pos, pivot, shaftEnd);
    return Hit { pos.z, n };
}

double ToggleSwitch::heightAt (double x, double y) const
{
    const auto p = polarIn (plate, x, y);
    const auto base = baseHeight (p);
    const auto hit = lever (p);
    return plate.radius * (hit ? std::max (base, hit->z) : base);
}

Vec3 ToggleSwitch::baseNormal (double x, double y) const noexcept
{
    constexpr double step = 0.35;
    const auto at = [this] (double px, double py)
    {
        const auto p = polarIn (plate, px, py);
        return plate.radius * baseHeight (p) + (p.rho > 0.4 ? latheRings (noise, p.rho * plate.radius, 0.08) : 0.0);
    };
    const auto gx = (at (x + step, y) - at (x - step, y)) / (2.0 * step);
    const auto gy = (at (x, y + step) - at (x, y - step)) / (2.0 * step);
    return Vec3 { -gx, -gy, 1.0 }.normalised();
}

Material ToggleSwitch::baseMaterial (const Polar& p) const noexcept
{
    if (p.rho < bushingHole)
        return dielectric (linearFromHex (0x0e0d0c), 0.6);
    if (p.rho < bushingOuter)
        return metal (linearFromHex (0xc9c7c2), 0.16);
    if (hexDistance (p.u, p.v) < nutApothem)
        return metal (linearFromHex (0xbdbbb6), 0.2);
    return turned (metal (linearFromHex (0x8a8884), 0.26), p, 0.36);
}

Surface ToggleSwitch::surfaceAt (double x, double y) const
{
    const auto p = polarIn (plate, x, y);
    Surface s;
    s.inside = p.rho <= 1.0;
    if (! s.inside)
        return s;
    s.hasNormal = true;
    const auto base = baseHeight (p);
    if (const auto hit = lever (p); hit && hit->z > base)
    {
        s.material = metal (linearFromHex (0xe4e4e6), 0.06);
        s.normal = hit->normal;
        return s;
    }
    s.material = baseMaterial (p);
    s.normal = baseNormal (x, y);
    return s;
}
} // namespace zel::artwork
