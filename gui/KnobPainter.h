#pragma once

#include "ImageShadow.h"
#include "Theme.h"
#include "melatonin/DropShadow.h"
#include "melatonin/InnerShadow.h"

#include <juce_graphics/juce_graphics.h>

#include <cstdint>

namespace vo::gui
{

// The knob faces of every style the theme can ask for. Each style has a
// static face, which the knob renders once into its cache, and moving parts
// (arcs, pointers, a rotated image) drawn at each paint. Angles are radians,
// clockwise from 12 o'clock.
class KnobPainter
{
public:
    static constexpr std::int32_t kCreamStyle = 1;
    static constexpr std::int32_t kBrassStyle = 2;
    static constexpr std::int32_t kTickStyle = 3;
    static constexpr std::int32_t kImageStyle = 4;

    // Where the face sits: its centre and diameter inside the knob area.
    struct Geometry
    {
        juce::Rectangle<float> area;
        juce::Point<float> centre;
        float diameter = 0.0f;

        float radius() const noexcept { return diameter * 0.5f; }
        juce::Rectangle<float> face() const noexcept;
        Geometry translated (juce::Point<float> delta) const noexcept;
    };

    // Everything that moves with the value.
    struct Motion
    {
        float valueAngle = 0.0f;
        float originAngle = 0.0f;
        bool highlighted = false;

        float arcFrom() const noexcept { return juce::jmin (valueAngle, originAngle); }
        float arcTo() const noexcept { return juce::jmax (valueAngle, originAngle); }
        bool hasArc() const noexcept;
    };

    // The blurred shadows a face casts, built from the theme's recipes.
    struct Shadows
    {
        explicit Shadows (const Theme& theme);

        melatonin::DropShadow knob;
        melatonin::DropShadow contact;
        melatonin::InnerShadow inner;
        ImageShadow image;
    };

    // A bitmap brought to a pixel size by halving, then one good resample;
    // kept until the size changes.
    struct ScaledImage
    {
        const juce::Image& forPixels (const juce::Image& source, int pixels);

        juce::Image source;
        juce::Image image;
        int pixels = 0;
    };

    static void drawStaticFace (juce::Graphics& g, const Theme& theme, const Geometry& geometry, Shadows& shadows,
                                const juce::Image& faceImage, float scale);
    static void drawMovingParts (juce::Graphics& g, const Theme& theme, const Geometry& geometry,
                                 const Motion& motion, Shadows& shadows, const juce::Image& faceImage,
                                 ScaledImage& scaledFace, float scale);

    // Each channel c becomes 255 − (255 − c) / k.
    static juce::Colour brighter (juce::Colour colour, float k);

    // The first image of the halving chain that is still at least `pixels` wide.
    static juce::Image halvedFor (const juce::Image& source, int pixels);

private:
    static void drawCreamFace (juce::Graphics& g, const Geometry& geometry, Shadows& shadows);
    static void drawBrassFace (juce::Graphics& g, const Geometry& geometry, Shadows& shadows,
                               const juce::Image& faceImage, float scale);
    static void drawTickFace (juce::Graphics& g, const Geometry& geometry, Shadows& shadows,
                              const juce::Image& faceImage, float scale);
    static void drawImageFace (juce::Graphics& g, const Geometry& geometry, Shadows& shadows);
    static void drawPlainFace (juce::Graphics& g, const Theme& theme, const Geometry& geometry, Shadows& shadows);

    static void drawCreamMotion (juce::Graphics& g, const Theme& theme, const Geometry& geometry, const Motion& motion);
    static void drawBrassMotion (juce::Graphics& g, const Theme& theme, const Geometry& geometry, const Motion& motion);
    static void drawTickMotion (juce::Graphics& g, const Theme& theme, const Geometry& geometry, const Motion& motion);
    static void drawImageMotion (juce::Graphics& g, const Theme& theme, const Geometry& geometry,
                                 const Motion& motion, Shadows& shadows, const juce::Image& faceImage,
                                 ScaledImage& scaledFace, float scale);
    static void drawPlainMotion (juce::Graphics& g, const Theme& theme, const Geometry& geometry, const Motion& motion);

    static void drawBrushedDisc (juce::Graphics& g, juce::Rectangle<float> disc, float scale);
    static void drawImageInCircle (juce::Graphics& g, const juce::Image& image, juce::Rectangle<float> imageBounds,
                                   juce::Rectangle<float> clipCircle, float scale);
    static void fillDiscWithShadows (juce::Graphics& g, const Geometry& geometry, Shadows& shadows);
    static void strokeArc (juce::Graphics& g, juce::Point<float> centre, float radius, float from, float to,
                           float width, juce::Colour colour);
    static void strokeRadialLine (juce::Graphics& g, juce::Point<float> centre, float angle, float inner,
                                  float outer, float width, juce::Colour colour);
    static void drawPointerLine (juce::Graphics& g, juce::Point<float> centre, float angle, float inner, float outer,
                                 float width, float shadowExtra, float shadowAlpha, juce::Colour colour);
};

} // namespace vo::gui
