#pragma once

#include "Artwork.h"
#include "Shapes.h"

namespace zel::artwork
{
/** A pill-shaped push button of brushed champagne aluminium, drawn three-slice. */
class CapsuleBody : public Artwork
{
public:
    static constexpr int imageWidth = 768;
    static constexpr int imageHeight = 457;
    static constexpr int capWidth = 228;

    CapsuleBody();

    std::string name() const override { return "zelcapsule"; }
    int width() const override { return imageWidth; }
    int height() const override { return imageHeight; }
    RenderSettings settings() const override;
    double heightAt (double x, double y) const override;
    Surface surfaceAt (double x, double y) const override;

private:
    StadiumPoint at (double x, double y) const noexcept;

    Noise noise;
};
} // namespace zel::artwork
