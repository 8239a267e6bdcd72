#pragma once

#include "Artwork.h"
#include "Shapes.h"

namespace zel::artwork
{
/** A round metal push button: turned bezel, a diffuser ring that lights up,
    and a dark turned cap for the icon drawn over it. */
class PushButton : public Artwork
{
public:
    enum class Ring
    {
        unlit,
        amber,
        red
    };

    PushButton (std::string name, Circle body, Ring ring);

    std::string name() const override { return imageName; }
    int width() const override { return 256; }
    int height() const override { return 256; }
    RenderSettings settings() const override;
    double heightAt (double x, double y) const override;
    Surface surfaceAt (double x, double y) const override;

private:
    double profile (double rho) const noexcept;
    Vec3 ringEmission (double rho) const noexcept;

    std::string imageName;
    Circle body;
    Ring ring;
    Noise noise;
};
} // namespace zel::artwork
