#pragma once

#include "Artwork.h"
#include "Noise.h"

#include <array>
#include <vector>

namespace zel::artwork
{
/** "ZEL" as cast black-nickel badge letters with polished bevels. The letters
    are straight-edged, so they are built from convex polygons. */
class Wordmark : public Artwork
{
public:
    static constexpr int imageHeight = 224; // four times the header's 56 pixels

    Wordmark();

    std::string name() const override { return "zelwordmark"; }
    int width() const override { return imageWidth; }
    int height() const override { return imageHeight; }
    RenderSettings settings() const override;
    double heightAt (double x, double y) const override;
    Surface surfaceAt (double x, double y) const override;

private:
    struct Point
    {
        double x;
        double y;
    };
    using Quad = std::array<Point, 4>;

    double inset (double x, double y) const noexcept;
    void addBox (double x0, double y0, double x1, double y1);

    std::vector<Quad> parts;
    int imageWidth = 0;
    Noise noise;
};
} // namespace zel::artwork
