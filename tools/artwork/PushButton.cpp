#include "PushButton.h"

namespace zel::artwork
{
namespace
{
    // Radii as fractions of the body radius, outside in.
    constexpr double edgeStart = 0.91;
    constexpr double bezelInner = 0.76;
    constexpr double channelOuter = 0.735;
    constexpr double ringCentre = 0.68;
    constexpr double ringHalfWidth = 0.055;
    constexpr double capOuter = 0.60;
    constexpr double capEdge = 0.035;

    constexpr double bezelTop = 0.17;
    constexpr double capTop = 0.15;
    constexpr double gapFloor = 0.07;

    constexpr double latheDepth = 0.10;
    constexpr double ringGlow = 1.7;
} // namespace

PushButton::PushButton (std::string nameToUse, Circle bodyCircle, Ring ringState)
    : imageName (std::move (nameToUse)), body (bodyCircle), ring (ringState), noise (0xb0770)
{
}

RenderSettings PushButton::settings() const
{
    RenderSettings s;
    s.occlusionRadius = 0.05 * body.radius;
    s.heightFieldShadows = true;
    if (ring != Ring::unlit)
    {
        s.bloomRadius = 0.035 * body.radius;
        s.bloomStrength = 0.35;
    }
    return s;
}

double PushButton::profile (double rho) const noexcept
{
    if (rho > 1.0)
        return 0.0;
    if (rho > edgeStart)
        return roundedEdge (rho, edgeStart, 1.0 - edgeStart, bezelTop);
    if (rho > bezelInner)
        return bezelTop - 0.03 * (edgeStart - rho) / (edgeStart - bezelInner);
    if (rho > channelOuter)
        return mix (0.105, bezelTop - 0.03, (rho - channelOuter) / (bezelInner - channelOuter));
    if (rho > ringCentre - ringHalfWidth)
    {
        const auto t = (rho - ringCentre) / ringHalfWidth;
        return 0.095 + 0.022 * std::sqrt (std::max (0.0, 1.0 - t * t));
    }
    if (rho > capOuter)
        return gapFloor;
    if (rho > capOuter - capEdge)
        return roundedEdge (rho, capOuter - capEdge, capEdge, capTop);
    const auto d = rho / (capOuter - capEdge);
    return capTop - 0.012 * (1.0 - d * d);
}

double PushButton::heightAt (double x, double y) const
{
    const auto p = polarIn (body, x, y);
    if (p.rho > 1.0)
        return 0.0;
    const auto machined = p.rho > bezelInner || p.rho < capOuter - capEdge;
    return body.radius * profile (p.rho) + (machined ? latheRings (noise, p.rho * body.radius, latheDepth) : 0.0);
}

Vec3 PushButton::ringEmission (double rho) const noexcept
{
    const auto t = (rho - ringCentre) / ringHalfWidth;
    const auto across = std::sqrt (std::max (0.0, 1.0 - t * t));
    switch (ring)
    {
        case Ring::amber: return Vec3 { 1.0, 0.40, 0.05 } * (ringGlow * across);
        case Ring::red: return Vec3 { 1.0, 0.055, 0.04 } * (ringGlow * across);
        case Ring::unlit: break;
    }
    return {};
}

Surface PushButton::surfaceAt (double x, double y) const
{
    const auto p = polarIn (body, x, y);
    Surface s;
    s.inside = p.rho <= 1.0;
    if (! s.inside)
        return s;
    if (p.rho > channelOuter)
        s.material = turned (metal (linearFromHex (0xb4b4b2), 0.26), p, 0.32);
    else if (p.rho > ringCentre - ringHalfWidth)
    {
        const auto lit = ring != Ring::unlit;
        s.material = dielectric (lit ? linearFromHex (0x9a6a40) : linearFromHex (0x2a2622), 0.32);
        s.emission = ringEmission (p.rho);
    }
    else if (p.rho > capOuter)
        s.material = dielectric (linearFromHex (0x0c0b0b), 0.6);
    else
        s.material = turned (metal (linearFromHex (0x3c3e42), 0.2), p, 0.34);
    return s;
}
} // namespace zel::artwork
