#include "IndicatorLamp.h"

namespace zel::artwork
{
namespace
{
    constexpr double lensRadius = 0.84;
    constexpr double tubeCentre = 0.92;
    constexpr double tubeRadius = 0.08;
    constexpr double bezelBase = 0.06;
    constexpr double lensBase = 0.04;
    constexpr double domeHeight = 0.34;
} // namespace

IndicatorLamp::IndicatorLamp (std::string nameToUse, Circle bodyCircle, bool isLit)
    : imageName (std::move (nameToUse)), body (bodyCircle), lit (isLit)
{
}

RenderSettings IndicatorLamp::settings() const
{
    RenderSettings s;
    s.occlusionRadius = 0.06 * body.radius;
    s.heightFieldShadows = true;
    if (lit)
    {
        s.bloomRadius = 0.07 * body.radius;
        s.bloomStrength = 0.45;
        s.glowAlphaOutside = 0.2;
    }
    return s;
}

double IndicatorLamp::heightAt (double x, double y) const
{
    const auto p = polarIn (body, x, y);
    if (p.rho > 1.0)
        return 0.0;
    if (p.rho > lensRadius)
    {
        const auto d = p.rho - tubeCentre;
        return body.radius * (bezelBase + std::sqrt (std::max (0.0, tubeRadius * tubeRadius - d * d)));
    }
    const auto t = p.rho / lensRadius;
    const auto dome = lensBase + domeHeight * std::sqrt (std::max (0.0, 1.0 - t * t));
    return body.radius * dome;
}

Surface IndicatorLamp::surfaceAt (double x, double y) const
{
    const auto p = polarIn (body, x, y);
    Surface s;
    s.inside = p.rho <= 1.0;
    if (! s.inside)
        return s;
    if (p.rho > lensRadius)
    {
        s.material = metal (linearFromHex (0xdadadc), 0.07);
        return s;
    }
    const auto t = p.rho / lensRadius;
    if (lit)
    {
        s.material = dielectric (linearFromHex (0xb86a14), 0.05);
        const auto core = std::exp (-3.0 * t * t);
        s.emission = mix (Vec3 { 0.9, 0.30, 0.025 }, Vec3 { 1.0, 0.62, 0.18 }, core) * (0.45 + 0.75 * core);
    }
    else
        s.material = dielectric (mix (linearFromHex (0x3c2205), linearFromHex (0x140a02), t * t), 0.03);
    return s;
}
} // namespace zel::artwork
