#pragma once

#include "Artwork.h"
#include "Shapes.h"

namespace zel::artwork
{
/** The big rotating knob: a black fluted skirt around a raised, turned silver
    cap. The image turns with the value, so it is lit by the rig averaged
    around the view axis and only the pointer breaks the symmetry. */
class RotaryKnob : public Artwork
{
public:
    static constexpr int size = 512;
    static constexpr double bodyFraction = 0.945;

    RotaryKnob();

    std::string name() const override { return "zelknob"; }
    int width() const override { return size; }
    int height() const override { return size; }
    RenderSettings settings() const override;
    double heightAt (double x, double y) const override;
    Surface surfaceAt (double x, double y) const override;

private:
    double profile (const Polar& p) const noexcept;
    bool onCapPointer (const Polar& p) const noexcept;
    bool onSkirtPointer (const Polar& p) const noexcept;

    Circle body;
    Noise noise;
};
} // namespace zel::artwork
