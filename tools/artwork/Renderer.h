#pragma once

#include "Artwork.h"
#include "Bitmap.h"

#include <vector>

namespace zel::artwork
{
class LightRig;

/** Turns an artwork into pixels: supersampled shading under the shared light
    rig, occlusion and key-light shadows from the height field, and a bloom
    around whatever emits light. */
class Renderer
{
public:
    explicit Renderer (int threadCount);

    Bitmap render (const Artwork& artwork) const;

private:
    struct Frame
    {
        int width;
        int height;
        std::vector<Vec3> colour;   // linear, premultiplied by coverage
        std::vector<double> alpha;
        std::vector<Vec3> emission; // linear, premultiplied by coverage
    };

    Frame shadeFrame (const Artwork& artwork) const;
    void shadeRow (const Artwork& artwork, const LightRig& rig, int y, Frame& frame) const;
    std::vector<Vec3> bloom (const Frame& frame, const RenderSettings& settings) const;
    Bitmap compose (const Frame& frame, const std::vector<Vec3>& glow, const RenderSettings& settings) const;

    int threads;
};
} // namespace zel::artwork
