#include "PresetWindow.h"

#include "LightRig.h"

namespace zel::artwork
{
namespace
{
    constexpr double lipWidth = 6.0;
    constexpr double bezelWidth = 30.0;
    constexpr double glassInset = 42.0;
    constexpr double bezelHeight = 16.0;
    constexpr double glassSag = 10.0;
} // namespace

PresetWindow::PresetWindow() : noise (0x9e5e7) {}

RenderSettings PresetWindow::settings() const
{
    RenderSettings s;
    s.samplesPerAxis = 3;
    return s;
}

double PresetWindow::heightAt (double x, double y) const
{
    const auto p = stadiumPoint (imageWidth, imageHeight, x, y);
    if (p.inset <= 0.0)
        return 0.0;
    if (p.inset < lipWidth)
        return roundedEdge (lipWidth - p.inset, 0.0, lipWidth, bezelHeight) ;
    if (p.inset < bezelWidth)
        return bezelHeight + 0.08 * noise.smooth1 (y * 2.1);
    if (p.inset < glassInset)
        return bezelHeight * (glassInset - p.inset) / (glassInset - bezelWidth);
    const auto across = (y - imageHeight / 2.0) / (imageHeight / 2.0 - glassInset);
    return -glassSag * (1.0 - across * across);
}

Surface PresetWindow::surfaceAt (double x, double y) const
{
    const auto p = stadiumPoint (imageWidth, imageHeight, x, y);
    Surface s;
    s.inside = p.inset > 0.0;
    if (! s.inside)
        return s;
    s.material = p.inset < glassInset ? brushed (metal (linearFromHex (0x5a544c), 0.28), 0.2)
                                      : dielectric (linearFromHex (0x0c0705), 0.02);
    return s;
}

double PresetWindow::occlusionAt (double x, double y) const
{
    const auto p = stadiumPoint (imageWidth, imageHeight, x, y);
    return p.inset < glassInset ? 1.0 : mix (0.35, 1.0, smoothstep (glassInset, glassInset + 34.0, p.inset));
}

double PresetWindow::shadowAt (double x, double y) const
{
    const auto p = stadiumPoint (imageWidth, imageHeight, x, y);
    if (p.inset < glassInset)
        return 1.0;
    // The bezel wall between the glass and the light: its top stands bezelHeight
    // above the glass; the ray towards the key clears it once far enough away.
    const auto key = LightRig::keyDirection();
    const auto planar = std::hypot (key.x, key.y);
    const auto towardsWall = (p.outX * key.x + p.outY * key.y) / planar;
    if (towardsWall <= 0.0)
        return 1.0;
    const auto run = (p.inset - bezelWidth) / towardsWall;
    const auto clearance = run * key.z / planar - bezelHeight;
    return smoothstep (-6.0, 6.0, clearance);
}
} // namespace zel::artwork
