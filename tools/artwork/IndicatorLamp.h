#pragma once

#include "Artwork.h"
#include "Shapes.h"

namespace zel::artwork
{
/** An amber jewel lamp in a polished chrome bezel, dark or lit. */
class IndicatorLamp : public Artwork
{
public:
    IndicatorLamp (std::string name, Circle body, bool lit);

    std::string name() const override { return imageName; }
    int width() const override { return 256; }
    int height() const override { return 256; }
    RenderSettings settings() const override;
    double heightAt (double x, double y) const override;
    Surface surfaceAt (double x, double y) const override;

private:
    std::string imageName;
    Circle body;
    bool lit;
};
} // namespace zel::artwork
