#include "CircleFit.h"

#include "EmbeddedImage.h"

#include <array>
#include <cmath>
#include <vector>

namespace vo::test
{
namespace
{
struct Point
{
    double x;
    double y;
};

void addCrossing (std::vector<Point>& points, double a0, double a1, double level, Point p0, Point p1)
{
    if ((a0 >= level) == (a1 >= level))
        return;
    const auto t = (level - a0) / (a1 - a0);
    points.push_back ({ p0.x + (p1.x - p0.x) * t, p0.y + (p1.y - p0.y) * t });
}

// Solves the 3 × 3 system m · s = r by Cramer's rule.
std::optional<std::array<double, 3>> solve (const std::array<std::array<double, 3>, 3>& m, const std::array<double, 3>& r)
{
    const auto det = [] (const std::array<std::array<double, 3>, 3>& a)
    {
        return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0])
               + a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    };
    const auto d = det (m);
    if (std::abs (d) < 1.0e-12)
        return std::nullopt;
    std::array<double, 3> s {};
    for (size_t c = 0; c < 3; ++c)
    {
        auto mc = m;
        for (size_t row = 0; row < 3; ++row)
            mc[row][c] = r[row];
        s[c] = det (mc) / d;
    }
    return s;
}
} // namespace

std::optional<FittedCircle> fitAlphaEdge (const zel::artwork::Bitmap& image, double level)
{
    std::vector<Point> points;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
        {
            const Point here { x + 0.5, y + 0.5 };
            if (x + 1 < image.width())
                addCrossing (points, alphaOf (image, x, y), alphaOf (image, x + 1, y), level, here, { x + 1.5, y + 0.5 });
            if (y + 1 < image.height())
                addCrossing (points, alphaOf (image, x, y), alphaOf (image, x, y + 1), level, here, { x + 0.5, y + 1.5 });
        }
    if (points.size() < 8)
        return std::nullopt;

    // x² + y² + D x + E y + F = 0 in the least-squares sense.
    std::array<std::array<double, 3>, 3> m {};
    std::array<double, 3> r {};
    for (const auto& p : points)
    {
        const std::array<double, 3> row { p.x, p.y, 1.0 };
        const auto rhs = -(p.x * p.x + p.y * p.y);
        for (size_t i = 0; i < 3; ++i)
        {
            for (size_t j = 0; j < 3; ++j)
                m[i][j] += row[i] * row[j];
            r[i] += row[i] * rhs;
        }
    }
    const auto s = solve (m, r);
    if (! s)
        return std::nullopt;
    const auto cx = -(*s)[0] / 2.0;
    const auto cy = -(*s)[1] / 2.0;
    return FittedCircle { cx, cy, std::sqrt (cx * cx + cy * cy - (*s)[2]), static_cast<int> (points.size()) };
}

} // namespace vo::test
