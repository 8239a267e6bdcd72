#pragma once

#include "Artwork.h"
#include "Noise.h"

namespace zel::artwork
{
/** The powder-coated, finely brushed panel behind everything. The editor tints
    it by row and tiles it mirrored, so it carries only fine grain: no feature
    larger than a brush stroke, no gradient, and an average colour equal to the
    top of the editor's tint. */
class PanelTexture : public Artwork
{
public:
    PanelTexture();

    std::string name() const override { return "zelpanel"; }
    int width() const override { return 1024; }
    int height() const override { return 576; }
    RenderSettings settings() const override;
    double heightAt (double x, double y) const override;
    Surface surfaceAt (double x, double y) const override;

private:
    Vec3 albedo;
    Noise grain;
    Noise strokes;
    Noise tint;
};
} // namespace zel::artwork
