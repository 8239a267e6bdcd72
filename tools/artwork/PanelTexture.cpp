#include "PanelTexture.h"

#include "LightRig.h"
#include "Shapes.h"

namespace zel::artwork
{
namespace
{
    constexpr unsigned tintTop = 0xdc9290;
    constexpr double roughness = 0.5;
    constexpr double strokeLength = 90.0;
} // namespace

PanelTexture::PanelTexture() : grain (0x9a1), strokes (0x57e), tint (0x7147)
{
    // Solve albedo so that the flat, lit panel comes out at the tint colour.
    const LightRig rig (Lighting::directional);
    Surface probe;
    probe.inside = true;
    probe.material = dielectric ({}, roughness);
    const auto specular = rig.shade (probe, { 0.0, 0.0, 1.0 }, 1.0, 1.0);
    probe.material.colour = { 1.0, 1.0, 1.0 };
    const auto white = rig.shade (probe, { 0.0, 0.0, 1.0 }, 1.0, 1.0) - specular;
    const auto target = linearFromHex (tintTop);
    albedo = { (target.x - specular.x) / white.x, (target.y - specular.y) / white.y, (target.z - specular.z) / white.z };
}

RenderSettings PanelTexture::settings() const
{
    RenderSettings s;
    s.samplesPerAxis = 2;
    return s;
}

double PanelTexture::heightAt (double x, double y) const
{
    const auto stroke = strokes.smooth (x / strokeLength, y * 1.3) * 0.07;
    const auto powder = grain.smooth (x * 0.9, y * 0.9) * 0.1;
    return stroke + powder;
}

Surface PanelTexture::surfaceAt (double x, double y) const
{
    Surface s;
    s.inside = true;
    const auto speckle = 1.0 + 0.025 * tint.smooth (x * 0.5, y * 0.5);
    s.material = brushed (dielectric (albedo * speckle, roughness), 0.15);
    return s;
}
} // namespace zel::artwork
