#include "CapsuleBody.h"

namespace zel::artwork
{
namespace
{
    constexpr double bevelWidth = 70.0;
    constexpr double bevelHeight = 46.0;
    constexpr double crown = 10.0;
    constexpr double brushDepth = 0.1;
} // namespace

CapsuleBody::CapsuleBody() : noise (0xca95) {}

StadiumPoint CapsuleBody::at (double x, double y) const noexcept
{
    // The outline's radius equals the cap width, so each cap holds exactly a
    // half circle; the half-pixel margin above and below keeps the edge soft.
    return stadiumPoint (imageWidth, 2.0 * capWidth, x, y - (imageHeight - 2.0 * capWidth) / 2.0);
}

RenderSettings CapsuleBody::settings() const
{
    RenderSettings s;
    s.samplesPerAxis = 3;
    return s;
}

double CapsuleBody::heightAt (double x, double y) const
{
    const auto p = at (x, y);
    if (p.inset <= 0.0)
        return 0.0;
    const auto e = std::min (p.inset / bevelWidth, 1.0);
    const auto pillow = bevelHeight * std::sqrt (1.0 - (1.0 - e) * (1.0 - e));
    const auto dome = crown * smoothstep (0.0, capWidth, p.inset);
    // Brushing runs along x and depends on y only, like everything in the middle slice.
    const auto brush = brushDepth * noise.smooth1 (y * 1.7) * (0.6 + 0.4 * noise.smooth1 (y * 0.06 + 5.0));
    return pillow + dome + brush;
}

Surface CapsuleBody::surfaceAt (double x, double y) const
{
    Surface s;
    s.inside = at (x, y).inset > 0.0;
    if (s.inside)
        s.material = brushed (metal (linearFromHex (0xc4a77a), 0.34), 0.2);
    return s;
}
} // namespace zel::artwork
