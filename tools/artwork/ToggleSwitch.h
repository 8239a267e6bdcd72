#pragma once

#include "Artwork.h"
#include "Shapes.h"

#include <optional>

namespace zel::artwork
{
/** A chrome bat-lever toggle on a turned round plate with a hex nut. */
class ToggleSwitch : public Artwork
{
public:
    ToggleSwitch (std::string name, Circle plate, bool leverUp);

    std::string name() const override { return imageName; }
    int width() const override { return 256; }
    int height() const override { return 256; }
    RenderSettings settings() const override;
    double heightAt (double x, double y) const override;
    Surface surfaceAt (double x, double y) const override;

private:
    struct Hit
    {
        double z;
        Vec3 normal;
    };

    double baseHeight (const Polar& p) const noexcept;
    Vec3 baseNormal (double x, double y) const noexcept;
    std::optional<Hit> lever (const Polar& p) const noexcept;
    Material baseMaterial (const Polar& p) const noexcept;

    std::string imageName;
    Circle plate;
    Vec3 pivot;
    Vec3 shaftEnd;
    Vec3 batStart;
    Vec3 batEnd;
    Noise noise;
};
} // namespace zel::artwork
