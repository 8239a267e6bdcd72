#include "CreamFace.h"

namespace zel::artwork
{
namespace
{
    constexpr double domeRise = 0.05;
    constexpr double edgeStart = 0.975;
} // namespace

CreamFace::CreamFace() : body { size / 2.0, size / 2.0, size / 2.0 }, noise (0xc2ea) {}

RenderSettings CreamFace::settings() const
{
    RenderSettings s;
    s.samplesPerAxis = 2;
    return s;
}

double CreamFace::heightAt (double x, double y) const
{
    const auto p = polarIn (body, x, y);
    if (p.rho > 1.0)
        return 0.0;
    const auto dome = domeRise * (1.0 - p.rho * p.rho);
    const auto edge = roundedEdge (p.rho, edgeStart, 1.0 - edgeStart, 0.0);
    return body.radius * (dome + edge) + latheRings (noise, p.rho * body.radius, 0.1);
}

Surface CreamFace::surfaceAt (double x, double y) const
{
    const auto p = polarIn (body, x, y);
    Surface s;
    s.inside = p.rho <= 1.0;
    if (s.inside)
        s.material = turned (metal (linearFromHex (0xd9bf92), 0.22), p, 0.5);
    return s;
}
} // namespace zel::artwork
