#include "RotaryKnob.h"

namespace zel::artwork
{
namespace
{
    constexpr double pi = 3.14159265358979323846;
    constexpr double skirtEdge = 0.95;
    constexpr double skirtInner = 0.80;
    constexpr double capOuter = 0.785;
    constexpr double chamferInner = 0.735;
    constexpr double skirtLow = 0.20;
    constexpr double skirtHigh = 0.25;
    constexpr double capTop = 0.33;
    constexpr double flutes = 72.0;
    constexpr double fluteDepth = 0.008;
    constexpr double pointerHalfWidth = 0.024;
    constexpr double pointerDepth = 0.012;
} // namespace

RotaryKnob::RotaryKnob()
    : body { size / 2.0, size / 2.0, size * bodyFraction / 2.0 }, noise (0x6b0b)
{
}

RenderSettings RotaryKnob::settings() const
{
    RenderSettings s;
    s.lighting = Lighting::azimuthal;
    s.occlusionRadius = 0.03 * body.radius;
    return s;
}

bool RotaryKnob::onCapPointer (const Polar& p) const noexcept
{
    return p.v < 0.0 && std::abs (p.u) < pointerHalfWidth && p.rho > 0.36 && p.rho < 0.70;
}

bool RotaryKnob::onSkirtPointer (const Polar& p) const noexcept
{
    return p.v < 0.0 && std::abs (p.u) < 0.8 * pointerHalfWidth && p.rho > 0.83 && p.rho < 0.935;
}

double RotaryKnob::profile (const Polar& p) const noexcept
{
    if (p.rho > 1.0)
        return 0.0;
    if (p.rho > skirtEdge)
    {
        const auto angle = std::atan2 (p.v, p.u);
        const auto flute = fluteDepth * std::cos (flutes * angle) * smoothstep (skirtEdge, 0.975, p.rho);
        return roundedEdge (p.rho, skirtEdge, 1.0 - skirtEdge, skirtLow) + flute;
    }
    if (p.rho > skirtInner)
        return mix (skirtHigh, skirtLow, (p.rho - skirtInner) / (skirtEdge - skirtInner));
    if (p.rho > capOuter)
        return skirtHigh - 0.01; // the shadow line between skirt and cap
    if (p.rho > chamferInner)
        return capTop - (p.rho - chamferInner) * 0.45; // angled to catch the key at every turn
    const auto d = p.rho / chamferInner;
    auto h = capTop - 0.06 * (1.0 - d * d);
    if (onCapPointer (p))
    {
        const auto t = p.u / pointerHalfWidth;
        h -= pointerDepth * std::sqrt (std::max (0.0, 1.0 - t * t));
    }
    return h;
}

double RotaryKnob::heightAt (double x, double y) const
{
    const auto p = polarIn (body, x, y);
    if (p.rho > 1.0)
        return 0.0;
    const auto machined = p.rho < chamferInner || (p.rho > skirtInner && p.rho < skirtEdge);
    return body.radius * profile (p) + (machined ? latheRings (noise, p.rho * body.radius, 0.28) : 0.0);
}

Surface RotaryKnob::surfaceAt (double x, double y) const
{
    const auto p = polarIn (body, x, y);
    Surface s;
    s.inside = p.rho <= 1.0;
    if (! s.inside)
        return s;
    if (onSkirtPointer (p))
        s.material = dielectric (linearFromHex (0xf1ecd6), 0.4);
    else if (p.rho > capOuter)
        s.material = turned (metal (linearFromHex (0x3a3b3e), 0.3), p, 0.3);
    else if (p.rho > chamferInner)
        s.material = metal (linearFromHex (0xb4b4b2), 0.1);
    else if (onCapPointer (p))
        s.material = dielectric (linearFromHex (0x141211), 0.5);
    else
        s.material = turned (metal (linearFromHex (0x9c9c9a), 0.12), p, 0.35);
    return s;
}
} // namespace zel::artwork
