#include "DarkFace.h"

namespace zel::artwork
{
namespace
{
    constexpr double capRadius = 0.629;
    constexpr double capEdge = 0.05;
    constexpr double flangeTop = 0.10;
    constexpr double capTop = 0.24;
    constexpr double outerEdge = 0.96;
} // namespace

DarkFace::DarkFace() : body { size / 2.0, size / 2.0, size * bodyFraction / 2.0 }, noise (0xda2c) {}

RenderSettings DarkFace::settings() const
{
    RenderSettings s;
    s.samplesPerAxis = 2;
    s.occlusionRadius = 0.05 * body.radius;
    s.heightFieldShadows = true;
    return s;
}

double DarkFace::heightAt (double x, double y) const
{
    const auto p = polarIn (body, x, y);
    if (p.rho > 1.0)
        return 0.0;
    if (p.rho > capRadius)
    {
        const auto blast = 0.35 * noise.smooth (x * 0.9, y * 0.9);
        return body.radius * roundedEdge (p.rho, outerEdge, 1.0 - outerEdge, flangeTop) + blast;
    }
    const auto d = p.rho / (capRadius - capEdge);
    const auto top = p.rho > capRadius - capEdge ? roundedEdge (p.rho, capRadius - capEdge, capEdge, capTop)
                                                 : capTop - 0.012 * (1.0 - d * d);
    return body.radius * top + latheRings (noise, p.rho * body.radius, 0.1);
}

Surface DarkFace::surfaceAt (double x, double y) const
{
    const auto p = polarIn (body, x, y);
    Surface s;
    s.inside = p.rho <= 1.0;
    if (! s.inside)
        return s;
    s.material = p.rho > capRadius ? metal (linearFromHex (0x3c3f46), 0.55)
                                   : turned (metal (linearFromHex (0x34363c), 0.24), p, 0.35);
    return s;
}
} // namespace zel::artwork
