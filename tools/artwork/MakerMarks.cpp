#include "MakerMarks.h"

#include "Canvas.h"

#include <cmath>

namespace zel::artwork
{
namespace
{
    constexpr unsigned cream = 0xffe8e2c4;
    constexpr unsigned amber = 0xfff4bb3b;
    constexpr unsigned amberLight = 0xfffbe29f;
    constexpr unsigned ink = 0xff201917;
    constexpr unsigned inkLight = 0xff4a3e39;

    bool inCrescent (double x, double y, double cx, double cy, double r, double bite)
    {
        const auto inDisc = std::hypot (x - cx, y - cy) < r;
        const auto inBite = std::hypot (x - cx - bite * r, y - cy + 0.55 * bite * r) < 0.8 * r;
        return inDisc && ! inBite;
    }
} // namespace

MakerMarks::MakerMarks (const TextRaster& fontToUse) : font (fontToUse) {}

Bitmap MakerMarks::mark (const Style& s) const
{
    const auto h = s.height;
    const auto em = static_cast<int> (std::lround (h / 1.3));
    const auto text = font.render (s.text, em, s.tracking);
    const auto moonSpace = s.moon ? static_cast<int> (std::lround (1.0 * h)) : 0;
    Canvas canvas (moonSpace + text.width + h / 12, h);
    if (s.moon)
    {
        const auto r = 0.4 * h;
        const auto cx = 0.46 * h;
        const auto cy = 0.5 * h;
        canvas.paintShape (s.moonColour, [=] (double x, double y) { return inCrescent (x, y, cx, cy, r, 0.5); });
        canvas.paintShape (s.moonHighlight, [=] (double x, double y)
                           { return inCrescent (x, y, cx, cy, r, 0.5) && ! inCrescent (x, y, cx + 0.05 * r, cy - 0.04 * r, 0.86 * r, 0.5); });
    }
    canvas.drawCoverage (text, moonSpace, (h - text.height) / 2, s.textColour);
    return canvas.toBitmap();
}

std::vector<std::pair<std::string, Bitmap>> MakerMarks::render() const
{
    return {
        { "logomoon", mark ({ 96, "velmora", cream, amber, amberLight, true, 1.0 }) },
        { "logoblack", mark ({ 96, "velmora", ink, ink, inkLight, true, 1.0 }) },
        { "rorozudizizodoveduzarov", mark ({ 104, "made by velmora", cream, amber, amberLight, true, 1.0 }) },
        { "reravazavarozadir", mark ({ 72, "velmora", cream, amber, amberLight, false, 1.0 }) },
        { "vurediroviderude", mark ({ 72, "VELMORA", cream, amber, amberLight, true, 9.0 }) },
    };
}
} // namespace zel::artwork
