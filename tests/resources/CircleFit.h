#pragma once

#include "Bitmap.h"

#include <optional>

namespace vo::test
{
struct FittedCircle
{
    double cx;
    double cy;
    double radius;
    int points;
};

/** Least-squares (Kasa) circle through the points where alpha crosses `level`
    between neighbouring pixels, located to a fraction of a pixel. */
std::optional<FittedCircle> fitAlphaEdge (const zel::artwork::Bitmap& image, double level);

} // namespace vo::test
