#pragma once

#include "Artwork.h"
#include "Shapes.h"

namespace zel::artwork
{
/** A slightly domed disc of turned champagne aluminium filling the inscribed circle. */
class CreamFace : public Artwork
{
public:
    static constexpr int size = 512;

    CreamFace();

    std::string name() const override { return "knob22face"; }
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
