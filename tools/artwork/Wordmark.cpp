#include "Wordmark.h"

#include "Shapes.h"

namespace zel::artwork
{
namespace
{
    constexpr double margin = 12.0;
    constexpr double capHeight = Wordmark::imageHeight - 2.0 * margin;
    constexpr double stroke = 0.21 * capHeight;
    constexpr double letterGap = 0.13 * capHeight;
    constexpr double widthZ = 0.80 * capHeight;
    constexpr double widthE = 0.68 * capHeight;
    constexpr double widthL = 0.62 * capHeight;
    constexpr double bevelWidth = 12.0;
    constexpr double bevelHeight = 12.0;
} // namespace

Wordmark::Wordmark() : noise (0x2e1)
{
    const auto top = margin;
    const auto bottom = margin + capHeight;
    auto x = margin;

    addBox (x, top, x + widthZ, top + stroke);
    addBox (x, bottom - stroke, x + widthZ, bottom);
    const auto slant = 1.3 * stroke;
    parts.push_back ({ Point { x + widthZ - slant, top + stroke }, Point { x + widthZ, top + stroke },
                       Point { x + slant, bottom - stroke }, Point { x, bottom - stroke } });
    x += widthZ + letterGap;

    addBox (x, top, x + stroke, bottom);
    addBox (x, top, x + widthE, top + stroke);
    addBox (x, (top + bottom - stroke) / 2.0, x + 0.86 * widthE, (top + bottom + stroke) / 2.0);
    addBox (x, bottom - stroke, x + widthE, bottom);
    x += widthE + letterGap;

    addBox (x, top, x + stroke, bottom);
    addBox (x, bottom - stroke, x + widthL, bottom);
    imageWidth = static_cast<int> (std::ceil (x + widthL + margin));
}

void Wordmark::addBox (double x0, double y0, double x1, double y1)
{
    parts.push_back ({ Point { x0, y0 }, Point { x1, y0 }, Point { x1, y1 }, Point { x0, y1 } });
}

RenderSettings Wordmark::settings() const
{
    RenderSettings s;
    s.samplesPerAxis = 4;
    return s;
}

double Wordmark::inset (double x, double y) const noexcept
{
    // Inside a clockwise convex quad the distance to its outline is the
    // smallest distance to its edge lines; the letters are their union.
    auto best = -1.0e9;
    for (const auto& q : parts)
    {
        auto d = 1.0e9;
        for (size_t i = 0; i < q.size(); ++i)
        {
            const auto a = q[i];
            const auto b = q[(i + 1) % q.size()];
            const auto ex = b.x - a.x;
            const auto ey = b.y - a.y;
            d = std::min (d, ((x - a.x) * ey - (y - a.y) * ex) / -std::hypot (ex, ey));
        }
        best = std::max (best, d);
    }
    return best;
}

double Wordmark::heightAt (double x, double y) const
{
    const auto e = inset (x, y);
    if (e <= 0.0)
        return 0.0;
    const auto t = std::min (e / bevelWidth, 1.0);
    const auto brush = e > bevelWidth ? 0.06 * noise.smooth1 (y * 1.8) : 0.0;
    return bevelHeight * std::sqrt (1.0 - (1.0 - t) * (1.0 - t)) + brush;
}

Surface Wordmark::surfaceAt (double x, double y) const
{
    const auto e = inset (x, y);
    Surface s;
    s.inside = e > 0.0;
    if (s.inside)
        s.material = e < bevelWidth ? metal (linearFromHex (0x5a5652), 0.08)
                                    : brushed (metal (linearFromHex (0x2c2a28), 0.22), 0.2);
    return s;
}
} // namespace zel::artwork
