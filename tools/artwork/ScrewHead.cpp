#include "ScrewHead.h"

namespace zel::artwork
{
namespace
{
    constexpr double socketApothem = 0.27;
    constexpr double domeRise = 0.26;
    constexpr double rimHeight = 0.06;
} // namespace

ScrewHead::ScrewHead() : head { 96.0, 96.0, 88.0 }, noise (0x5c2e) {}

RenderSettings ScrewHead::settings() const
{
    RenderSettings s;
    s.occlusionRadius = 10.0;
    s.heightFieldShadows = true;
    return s;
}

double ScrewHead::heightAt (double x, double y) const
{
    const auto p = polarIn (head, x, y);
    if (p.rho > 1.0)
        return 0.0;
    if (hexDistance (p.u, p.v) < socketApothem)
        return head.radius * (0.05 + 0.25 * p.rho); // the drill point at the bottom of the socket
    const auto dome = rimHeight + domeRise * std::sqrt (std::max (0.0, 1.0 - p.rho * p.rho));
    return head.radius * dome + latheRings (noise, p.rho * head.radius, 0.08);
}

Surface ScrewHead::surfaceAt (double x, double y) const
{
    const auto p = polarIn (head, x, y);
    Surface s;
    s.inside = p.rho <= 1.0;
    if (s.inside)
        s.material = hexDistance (p.u, p.v) < socketApothem ? metal (linearFromHex (0x6a6864), 0.4)
                                                            : turned (metal (linearFromHex (0xc4c2bd), 0.2), p, 0.25);
    return s;
}
} // namespace zel::artwork
