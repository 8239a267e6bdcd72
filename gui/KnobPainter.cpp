#include "KnobPainter.h"

#include <cmath>

namespace vo::gui
{

namespace
{

constexpr float kRangeStart = 3.926991f;
constexpr float kRangeEnd = 8.63938f;
constexpr float kEmptyArc = 0.001f;

// The image knob's body fills this share of its bitmap's width.
constexpr float kImageBodyShare = 0.945f;
// The tick knob's face bitmap: the face spans this share of it.
constexpr float kTickFaceShare = 0.9717f;
constexpr float kBrassInnerShare = 0.935f;

constexpr juce::uint32 kBrushSeed = 0x22a5d0e1u;
constexpr float kBrushAlpha = 0.035f;

constexpr int kMinimumHalvedPixels = 8;

juce::Point<float> along (juce::Point<float> centre, float angle, float distance)
{
    return { centre.x + distance * std::sin (angle), centre.y - distance * std::cos (angle) };
}

juce::Rectangle<float> circle (juce::Point<float> centre, float radius)
{
    return { centre.x - radius, centre.y - radius, 2.0f * radius, 2.0f * radius };
}

juce::Path ellipseOf (juce::Rectangle<float> bounds)
{
    juce::Path path;
    path.addEllipse (bounds);
    return path;
}

void outlineEllipse (juce::Graphics& g, juce::Rectangle<float> bounds, float inset, float width)
{
    g.drawEllipse (bounds.reduced (inset), width);
}

juce::ColourGradient diagonal (juce::Rectangle<float> bounds, juce::Colour from, juce::Colour to)
{
    return { from, bounds.getTopLeft(), to, bounds.getBottomRight(), false };
}

} // namespace

//==============================================================================
juce::Rectangle<float> KnobPainter::Geometry::face() const noexcept
{
    return circle (centre, radius());
}

KnobPainter::Geometry KnobPainter::Geometry::translated (juce::Point<float> delta) const noexcept
{
    return { area + delta, centre + delta, diameter };
}

bool KnobPainter::Motion::hasArc() const noexcept
{
    return std::abs (valueAngle - originAngle) >= kEmptyArc;
}

KnobPainter::Shadows::Shadows (const Theme& theme)
    : knob (theme.knobShadow.toShadow()),
      contact (theme.knobContactShadow.toShadow()),
      inner (juce::Colours::white.withAlpha (0.25f), 3, { 0, 1 }),
      image (theme.knobContactShadow)
{
}

const juce::Image& KnobPainter::ScaledImage::forPixels (const juce::Image& sourceImage, int wanted)
{
    if (image.isValid() && wanted == pixels && sourceImage == source)
        return image;

    source = sourceImage;
    pixels = wanted;
    const auto halved = halvedFor (sourceImage, wanted);
    image = halved.rescaled (wanted, wanted, juce::Graphics::highResamplingQuality);
    return image;
}

//==============================================================================
juce::Colour KnobPainter::brighter (juce::Colour colour, float k)
{
    auto lift = [k] (juce::uint8 c) {
        return static_cast<juce::uint8> (juce::roundToInt (255.0f - (255.0f - static_cast<float> (c)) / k));
    };
    return juce::Colour (lift (colour.getRed()), lift (colour.getGreen()), lift (colour.getBlue()), colour.getAlpha());
}

juce::Image KnobPainter::halvedFor (const juce::Image& source, int pixels)
{
    auto image = source;
    const auto wanted = juce::jmax (pixels, kMinimumHalvedPixels);
    while (image.getWidth() >= 2 * wanted && image.getWidth() / 2 >= kMinimumHalvedPixels)
        image = image.rescaled (image.getWidth() / 2, juce::jmax (1, image.getHeight() / 2),
                                juce::Graphics::highResamplingQuality);
    return image;
}

void KnobPainter::drawStaticFace (juce::Graphics& g, const Theme& theme, const Geometry& geometry,
                                  Shadows& shadows, const juce::Image& faceImage, float scale)
{
    switch (theme.knobStyle)
    {
        case kCreamStyle: drawCreamFace (g, geometry, shadows); break;
        case kBrassStyle: drawBrassFace (g, geometry, shadows, faceImage, scale); break;
        case kTickStyle: drawTickFace (g, geometry, shadows, faceImage, scale); break;
        case kImageStyle: drawImageFace (g, geometry, shadows); break;
        default: drawPlainFace (g, theme, geometry, shadows); break;
    }
}

void KnobPainter::drawMovingParts (juce::Graphics& g, const Theme& theme, const Geometry& geometry,
                                   const Motion& motion, Shadows& shadows, const juce::Image& faceImage,
                                   ScaledImage& scaledFace, float scale)
{
    switch (theme.knobStyle)
    {
        case kCreamStyle: drawCreamMotion (g, theme, geometry, motion); break;
        case kBrassStyle: drawBrassMotion (g, theme, geometry, motion); break;
        case kTickStyle: drawTickMotion (g, theme, geometry, motion); break;
        case kImageStyle: drawImageMotion (g, theme, geometry, motion, shadows, faceImage, scaledFace, scale); break;
        default: drawPlainMotion (g, theme, geometry, motion); break;
    }
}

//==============================================================================
// Static faces

void KnobPainter::fillDiscWithShadows (juce::Graphics& g, const Geometry& geometry, Shadows& shadows)
{
    const auto disc = ellipseOf (geometry.face());
    shadows.knob.render (g, disc);
    shadows.contact.render (g, disc);
}

void KnobPainter::drawCreamFace (juce::Graphics& g, const Geometry& geometry, Shadows& shadows)
{
    const auto face = geometry.face();
    const auto r = geometry.radius();
    const auto c = geometry.centre;
    fillDiscWithShadows (g, geometry, shadows);

    g.setGradientFill ({ juce::Colour (0xff232327), c.x, c.y, juce::Colour (0xff151518), c.x + r, c.y, true });
    g.fillEllipse (face);
    g.setColour (juce::Colour (0xff0b0b0d));
    outlineEllipse (g, face, 0.5f, 1.0f);
    g.setGradientFill (diagonal (face, juce::Colours::white.withAlpha (0.16f), juce::Colours::white.withAlpha (0.0f)));
    outlineEllipse (g, face, 1.5f, 1.0f);

    const auto k = 0.35f * geometry.diameter;
    const auto cap = circle (c, k);
    melatonin::DropShadow capShadow (juce::Colours::black.withAlpha (0.6f),
                                     juce::jmax (juce::roundToInt (0.14f * r), 2),
                                     { 0, juce::jmax (juce::roundToInt (0.06f * r), 1) });
    capShadow.render (g, ellipseOf (cap));
    g.setGradientFill ({ juce::Colour (0xff2a2a2e), c.x - 0.4f * k, c.y - 0.4f * k,
                         juce::Colour (0xff1b1b1f), c.x + 0.6f * k, c.y + 0.7f * k, false });
    g.fillEllipse (cap);
    g.setColour (juce::Colour (0xff0b0b0d));
    outlineEllipse (g, cap, 0.5f, 1.0f);
    g.setGradientFill (diagonal (cap, juce::Colours::white.withAlpha (0.14f), juce::Colours::white.withAlpha (0.0f)));
    outlineEllipse (g, cap, 1.5f, 1.0f);

    const auto m = juce::jmax (0.034f * r, 1.6f);
    const auto ring = circle (c, 0.637f * r);
    g.setColour (juce::Colours::black.withAlpha (0.45f));
    g.drawEllipse (ring, m + 1.2f);
    g.setColour (juce::Colour (0xfff1ece2));
    g.drawEllipse (ring, m);
}

void KnobPainter::drawBrassFace (juce::Graphics& g, const Geometry& geometry, Shadows& shadows,
                                 const juce::Image& faceImage, float scale)
{
    const auto face = geometry.face();
    const auto r = geometry.radius();
    fillDiscWithShadows (g, geometry, shadows);

    juce::ColourGradient brass (diagonal (face, juce::Colour (0xfffffbf2), juce::Colour (0xff8a6842)));
    brass.addColour (0.45, juce::Colour (0xfff0dfc4));
    brass.addColour (0.7, juce::Colour (0xffc9a575));
    g.setGradientFill (brass);
    g.fillEllipse (face);

    const auto inner = circle (geometry.centre, kBrassInnerShare * r);
    if (faceImage.isValid())
        drawImageInCircle (g, faceImage, inner, inner, scale);
    else
        drawBrushedDisc (g, inner, scale);

    g.setColour (juce::Colours::black.withAlpha (0.28f));
    g.drawEllipse (inner, juce::jmax (0.016f * r, 0.7f));
    g.setColour (juce::Colours::black.withAlpha (0.25f));
    outlineEllipse (g, face, 0.5f, 1.0f);
}

// Concentric hairlines of random brightness: brushed metal without a bitmap.
void KnobPainter::drawBrushedDisc (juce::Graphics& g, juce::Rectangle<float> disc, float scale)
{
    const auto centre = disc.getCentre();
    const auto radius = disc.getWidth() * 0.5f;
    g.setGradientFill ({ juce::Colour (0xffeed3a8), centre.x, centre.y,
                         juce::Colour (0xffd5ae7c), centre.x + radius, centre.y, true });
    g.fillEllipse (disc);

    juce::Random random (static_cast<juce::int64> (kBrushSeed));
    const auto step = 1.0f / scale;
    for (float ring = step; ring < radius; ring += step)
    {
        const auto v = 2.0f * random.nextFloat() - 1.0f;
        g.setColour ((v > 0.0f ? juce::Colours::white : juce::Colours::black).withAlpha (std::abs (v) * kBrushAlpha));
        g.drawEllipse (circle (centre, ring), step);
    }

    juce::ColourGradient sheen (diagonal (disc, juce::Colours::white.withAlpha (0.26f), juce::Colours::black.withAlpha (0.12f)));
    sheen.addColour (0.42, juce::Colours::white.withAlpha (0.04f));
    sheen.addColour (0.58, juce::Colours::black.withAlpha (0.02f));
    g.setGradientFill (sheen);
    g.fillEllipse (disc);
}

void KnobPainter::drawImageInCircle (juce::Graphics& g, const juce::Image& image, juce::Rectangle<float> imageBounds,
                                     juce::Rectangle<float> clipCircle, float scale)
{
    const auto picture = halvedFor (image, juce::roundToInt (imageBounds.getWidth() * scale));
    juce::Graphics::ScopedSaveState saved (g);
    g.reduceClipRegion (ellipseOf (clipCircle));
    g.setOpacity (1.0f);
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
    g.drawImage (picture, imageBounds, juce::RectanglePlacement::stretchToFit);
}

void KnobPainter::drawTickFace (juce::Graphics& g, const Geometry& geometry, Shadows& shadows,
                                const juce::Image& faceImage, float scale)
{
    const auto face = geometry.face();
    fillDiscWithShadows (g, geometry, shadows);

    if (faceImage.isValid())
    {
        const auto side = geometry.diameter / kTickFaceShare;
        drawImageInCircle (g, faceImage, circle (geometry.centre, side * 0.5f), face, scale);
    }
    else
    {
        g.setColour (juce::Colour (0xff2a2c31));
        g.fillEllipse (face);
        g.setColour (juce::Colour (0xff1e2024));
        g.fillEllipse (circle (geometry.centre, 0.629f * geometry.radius()));
    }

    g.setColour (juce::Colours::black.withAlpha (0.45f));
    outlineEllipse (g, face, 0.5f, 1.0f);
}

// The image knob casts only its tight contact shadow; the image itself turns.
void KnobPainter::drawImageFace (juce::Graphics& g, const Geometry& geometry, Shadows& shadows)
{
    shadows.contact.render (g, ellipseOf (geometry.face()));
}

void KnobPainter::drawPlainFace (juce::Graphics& g, const Theme& theme, const Geometry& geometry, Shadows& shadows)
{
    const auto face = geometry.face();
    const auto disc = ellipseOf (face);
    fillDiscWithShadows (g, geometry, shadows);

    g.setGradientFill ({ theme.knobBody, face.getCentreX(), face.getY(),
                         theme.knobBodyLow, face.getCentreX(), face.getBottom(), false });
    g.fillPath (disc);
    g.setColour (theme.knobRim);
    outlineEllipse (g, face, 0.75f, 1.5f);
    shadows.inner.render (g, disc);
    g.setColour (juce::Colours::white.withAlpha (0.1f));
    outlineEllipse (g, face, 2.0f, 1.0f);
}

//==============================================================================
// Moving parts

void KnobPainter::strokeArc (juce::Graphics& g, juce::Point<float> centre, float radius, float from, float to,
                             float width, juce::Colour colour)
{
    juce::Path arc;
    arc.addCentredArc (centre.x, centre.y, radius, radius, 0.0f, from, to, true);
    g.setColour (colour);
    g.strokePath (arc, juce::PathStrokeType (width, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void KnobPainter::strokeRadialLine (juce::Graphics& g, juce::Point<float> centre, float angle, float inner,
                                    float outer, float width, juce::Colour colour)
{
    juce::Path line;
    line.startNewSubPath (along (centre, angle, inner));
    line.lineTo (along (centre, angle, outer));
    g.setColour (colour);
    g.strokePath (line, juce::PathStrokeType (width, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void KnobPainter::drawPointerLine (juce::Graphics& g, juce::Point<float> centre, float angle, float inner,
                                   float outer, float width, float shadowExtra, float shadowAlpha, juce::Colour colour)
{
    strokeRadialLine (g, centre, angle, inner, outer, width + shadowExtra, juce::Colours::black.withAlpha (shadowAlpha));
    strokeRadialLine (g, centre, angle, inner, outer, width, colour);
}

void KnobPainter::drawCreamMotion (juce::Graphics& g, const Theme& theme, const Geometry& geometry, const Motion& motion)
{
    const auto r = geometry.radius();
    const auto c = geometry.centre;
    strokeArc (g, c, 0.755f * r, kRangeStart, kRangeEnd, juce::jmax (0.025f * r, 1.0f), theme.knobRing.withMultipliedAlpha (0.85f));

    if (motion.hasArc())
    {
        const auto ring = motion.highlighted ? brighter (theme.knobRing, 1.12f) : theme.knobRing;
        strokeArc (g, c, 0.865f * r, motion.arcFrom(), motion.arcTo(), juce::jmax (0.085f * r, 2.5f), ring);
    }

    const auto tipDistance = 0.56f * r;
    const auto length = juce::jmax (0.13f * r, 5.0f);
    const auto halfWidth = juce::jmax (0.075f * r, 3.0f);
    const auto a = motion.valueAngle;
    const auto base = along (c, a, tipDistance - length);
    const juce::Point<float> side { halfWidth * std::cos (a), halfWidth * std::sin (a) };
    juce::Path needle;
    needle.addTriangle (along (c, a, tipDistance), base + side, base - side);
    g.setColour (theme.knobNeedle);
    g.fillPath (needle);
}

void KnobPainter::drawBrassMotion (juce::Graphics& g, const Theme& theme, const Geometry& geometry, const Motion& motion)
{
    const auto r = geometry.radius();
    const auto c = geometry.centre;
    const auto w = juce::jmax (0.085f * r, 2.5f);
    strokeArc (g, c, r + 7.0f, kRangeStart, kRangeEnd, w, theme.knobArcTrack);

    if (motion.hasArc())
    {
        strokeArc (g, c, r + 7.0f, motion.arcFrom(), motion.arcTo(), 2.4f * w, theme.knobArc.withAlpha (0.18f));
        const auto arc = motion.highlighted ? brighter (theme.knobArc, 1.15f) : theme.knobArc;
        strokeArc (g, c, r + 7.0f, motion.arcFrom(), motion.arcTo(), w, arc);
    }

    drawPointerLine (g, c, motion.valueAngle, 0.1f * r, 0.7f * r, juce::jmax (0.06f * r, 2.0f), 1.5f, 0.25f,
                     juce::Colour (0xfffafaf7));
}

void KnobPainter::drawTickMotion (juce::Graphics& g, const Theme& theme, const Geometry& geometry, const Motion& motion)
{
    constexpr float inner = 0.69f;
    constexpr float outer = 0.785f;
    const auto r = geometry.radius();
    const auto c = geometry.centre;
    const auto count = juce::jlimit (18, 44, juce::roundToInt (1.1f * r));
    const auto step = (kRangeEnd - kRangeStart) / static_cast<float> (count);
    const auto t = juce::jmax (0.42f * step * (inner + outer) * 0.5f * r, 1.2f);
    const auto lit = motion.highlighted ? brighter (theme.accentLine, 1.15f) : theme.accentLine;
    const auto glow = theme.accentLine.withAlpha (motion.highlighted ? 0.4f : 0.28f);

    for (int i = 0; i < count; ++i)
    {
        const auto angle = kRangeStart + (static_cast<float> (i) + 0.5f) * step;
        const bool on = motion.hasArc() && angle >= motion.arcFrom() && angle <= motion.arcTo();
        if (on)
        {
            strokeRadialLine (g, c, angle, inner * r, outer * r, 2.6f * t, glow);
            strokeRadialLine (g, c, angle, inner * r, outer * r, t, lit);
        }
        else
        {
            strokeRadialLine (g, c, angle, inner * r, outer * r, t, theme.accentLine.withAlpha (0.14f));
        }
    }

    const auto q = 0.629f * r;
    drawPointerLine (g, c, motion.valueAngle, 0.37f * q, 0.87f * q, juce::jmax (0.09f * q, 2.0f), 1.2f, 0.35f,
                     juce::Colour (0xfff3f4f6));
}

void KnobPainter::drawImageMotion (juce::Graphics& g, const Theme& theme, const Geometry& geometry,
                                   const Motion& motion, Shadows& shadows, const juce::Image& faceImage,
                                   ScaledImage& scaledFace, float scale)
{
    const auto d = geometry.diameter;
    const auto c = geometry.centre;
    const auto u = 0.663f * d * 0.5f / kImageBodyShare;
    const auto t = juce::jmax (0.0856f * u, 2.5f);
    const auto fits = juce::jmin (geometry.area.getWidth(), geometry.area.getHeight()) * 0.5f - 1.2f * t - 0.5f;
    const auto v = juce::jmax (juce::jmin (fits, 1.509f * u), d * 0.5f + 1.0f);

    strokeArc (g, c, v, kRangeStart, kRangeEnd, t, theme.imageKnobTrack);
    if (motion.hasArc())
    {
        strokeArc (g, c, v, motion.arcFrom(), motion.arcTo(), 2.4f * t,
                   juce::Colour (0xffe47022).withAlpha (motion.highlighted ? 0.38f : 0.28f));
        strokeArc (g, c, v, motion.arcFrom(), motion.arcTo(), t,
                   motion.highlighted ? brighter (theme.accentLine, 1.12f) : theme.accentLine);
        strokeArc (g, c, v, motion.arcFrom(), motion.arcTo(), 0.5f * t, juce::Colour (0xfffdd05e));
    }

    if (! faceImage.isValid())
        return;

    // Images are drawn with the context's opacity, which the arcs have left
    // at theirs.
    g.setOpacity (1.0f);
    const auto side = d / kImageBodyShare;
    const auto bounds = circle (c, side * 0.5f);
    shadows.image.draw (g, faceImage, bounds, faceImage.getWidth() / 2);

    const auto& picture = scaledFace.forPixels (faceImage, juce::roundToInt (side * scale));
    const auto toLogical = side / static_cast<float> (picture.getWidth());
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
    g.drawImageTransformed (picture, juce::AffineTransform::scale (toLogical)
                                         .translated (bounds.getTopLeft())
                                         .rotated (motion.valueAngle, c.x, c.y));
}

void KnobPainter::drawPlainMotion (juce::Graphics& g, const Theme& theme, const Geometry& geometry, const Motion& motion)
{
    const auto d = geometry.diameter;
    const auto c = geometry.centre;
    const auto radius = d * 0.5f + 5.0f;
    const auto width = theme.strokeWidth;
    strokeArc (g, c, radius, kRangeStart, kRangeEnd, width, theme.arcTrack);

    if (motion.hasArc())
    {
        if (motion.highlighted)
            strokeArc (g, c, radius, motion.arcFrom(), motion.arcTo(), 2.4f * width, theme.accentSoft);
        strokeArc (g, c, radius, motion.arcFrom(), motion.arcTo(), width,
                   motion.highlighted ? theme.accentLine : theme.arcValue);
    }

    const auto dot = juce::jmax (0.085f * d, 4.5f);
    const auto distance = d * 0.5f - juce::jmax (0.1f * d, 5.0f);
    g.setColour (theme.pointer);
    g.fillEllipse (circle (along (c, motion.valueAngle, distance), dot * 0.5f));
}

} // namespace vo::gui
