#pragma once

#include "Artwork.h"
#include "Shapes.h"

namespace zel::artwork
{
/** A dark smoked-glass window recessed into a brushed bronze bezel, drawn
    three-slice. Its occlusion and shadow are worked out from the outline, so
    that the middle slice stays the same in every column. */
class PresetWindow : public Artwork
{
public:
    static constexpr int imageWidth = 1024;
    static constexpr int imageHeight = 384;
    static constexpr int capWidth = 192;

    PresetWindow();

    std::string name() const override { return "zelpresetwindow"; }
    int width() const override { return imageWidth; }
    int height() const override { return imageHeight; }
    RenderSettings settings() const override;
    double heightAt (double x, double y) const override;
    Surface surfaceAt (double x, double y) const override;
    double occlusionAt (double x, double y) const override;
    double shadowAt (double x, double y) const override;

private:
    Noise noise;
};
} // namespace zel::artwork
