#pragma once

#include "Surface.h"

#include <string>

namespace zel::artwork
{
/** One picture described as a height field seen from straight above, in image
    pixels (x right, y down, heights towards the viewer). */
class Artwork
{
public:
    virtual ~Artwork() = default;

    virtual std::string name() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual RenderSettings settings() const { return {}; }

    virtual double heightAt (double x, double y) const = 0;
    virtual Surface surfaceAt (double x, double y) const = 0;

    /** Ambient occlusion and key-light visibility for shapes whose occlusion is
        known in closed form (used when the settings ask for no height-field probe). */
    virtual double occlusionAt (double, double) const { return 1.0; }
    virtual double shadowAt (double, double) const { return 1.0; }
};
} // namespace zel::artwork
