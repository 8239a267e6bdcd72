#pragma once

#include "Artwork.h"
#include "Shapes.h"

namespace zel::artwork
{
/** A domed stainless hex-socket screw head. */
class ScrewHead : public Artwork
{
public:
    ScrewHead();

    std::string name() const override { return "zelscrew"; }
    int width() const override { return 192; }
    int height() const override { return 192; }
    RenderSettings settings() const override;
    double heightAt (double x, double y) const override;
    Surface surfaceAt (double x, double y) const override;

private:
    Circle head;
    Noise noise;
};
} // namespace zel::artwork
