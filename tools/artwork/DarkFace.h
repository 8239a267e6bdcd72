#pragma once

#include "Artwork.h"
#include "Shapes.h"

namespace zel::artwork
{
/** A dark knob seen from above: a bead-blasted flange for the tick ring and a
    raised, turned cap for the pointer. */
class DarkFace : public Artwork
{
public:
    static constexpr int size = 512;
    static constexpr double bodyFraction = 0.9717;

    DarkFace();

    std::string name() const override { return "knob20face"; }
    int width() const override { return size; }
    int height() const override { return size; }
    RenderSettings settings() const override;
    double heightAt (double x, double y) const override;
    Surface surfaceAt (double x, double y) const override;

private:
    Circle body;
    Noise noise;
};
} // namespace zel::artwork
