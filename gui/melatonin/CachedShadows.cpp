#include "CachedShadows.h"

#include "StackBlur.h"
#include "gui/DisplayScale.h"

#include <cmath>
#include <cstdlib>

namespace melatonin::internal
{

namespace
{

// Grows (or, with a negative amount, shrinks) a shape by `amount` on every
// side by scaling it about its centre; a shape cannot shrink below nothing.
juce::Path spreadShape (const juce::Path& shape, float amount)
{
    const auto bounds = shape.getBounds();
    if (amount == 0.0f || bounds.isEmpty())
        return shape;

    const auto sx = juce::jmax (0.0f, bounds.getWidth() + 2.0f * amount) / bounds.getWidth();
    const auto sy = juce::jmax (0.0f, bounds.getHeight() + 2.0f * amount) / bounds.getHeight();
    auto spread = shape;
    spread.applyTransform (juce::AffineTransform::scale (sx, sy, bounds.getCentreX(), bounds.getCentreY()));
    return spread;
}

int pixelsFor (int logical, float scale)
{
    return juce::jmax (1, static_cast<int> (std::ceil (static_cast<float> (logical) * scale)));
}

} // namespace

CachedShadows::CachedShadows (std::vector<ShadowParameters> shadowList)
    : shadows (std::move (shadowList))
{
}

void CachedShadows::render (juce::Graphics& g, const juce::Path& path)
{
    const auto bounds = path.getBounds();
    if (bounds.isEmpty() || shadows.empty())
        return;

    const auto scale = vo::gui::DisplayScale::of (g);
    auto shape = path;
    shape.applyTransform (juce::AffineTransform::translation (-bounds.getX(), -bounds.getY()));

    if (scale != cachedScale || ! compositeImage.isValid() || ! (shape == cachedShape))
        rebuild (shape, scale);

    vo::gui::DisplayScale::drawAt (g, compositeImage,
                                   bounds.getTopLeft() + compositeArea.getTopLeft().toFloat(), scale);
}

void CachedShadows::rebuild (const juce::Path& shape, float scale)
{
    const auto shapeBounds = shape.getBounds();
    compositeArea = areaFor (shadows.front(), shapeBounds);
    for (const auto& shadow : shadows)
        compositeArea = compositeArea.getUnion (areaFor (shadow, shapeBounds));

    compositeImage = juce::Image (juce::Image::ARGB,
                                  pixelsFor (compositeArea.getWidth(), scale),
                                  pixelsFor (compositeArea.getHeight(), scale),
                                  true);
    juce::Graphics target (compositeImage);
    for (const auto& shadow : shadows)
        composite (target, shadow, renderMask (shadow, shape, scale), shape, scale);

    cachedShape = shape;
    cachedScale = scale;
    ++builds;
}

// The logical area a shadow can reach: the shape grown by the blur and the
// spread, moved by the offset. An inner shadow needs the same margin around
// the shape so that the blur sees solid shadow beyond every edge.
juce::Rectangle<int> CachedShadows::areaFor (const ShadowParameters& shadow, juce::Rectangle<float> shapeBounds) const
{
    const auto margin = juce::jmax (0, shadow.radius) + std::abs (shadow.spread);
    const auto grown = shapeBounds.getSmallestIntegerContainer().expanded (margin);
    if (! shadow.inner)
        return grown + shadow.offset;

    const auto reach = juce::jmax (std::abs (shadow.offset.x), std::abs (shadow.offset.y));
    return grown.expanded (reach);
}

juce::AffineTransform CachedShadows::shapeToPixels (juce::Point<int> offset, float scale) const
{
    return juce::AffineTransform::translation ((offset - compositeArea.getTopLeft()).toFloat()).scaled (scale);
}

juce::Image CachedShadows::renderMask (const ShadowParameters& shadow, const juce::Path& shape, float scale) const
{
    juce::Image mask (juce::Image::SingleChannel, compositeImage.getWidth(), compositeImage.getHeight(), true);
    {
        juce::Graphics g (mask);
        g.setColour (juce::Colours::white);
        const auto spread = static_cast<float> (shadow.inner ? -shadow.spread : shadow.spread);
        auto caster = spreadShape (shape, spread);
        caster.applyTransform (shapeToPixels (shadow.offset, scale));

        if (shadow.inner)
        {
            // The shadow inside a shape is cast by everything outside it.
            juce::Path outside;
            outside.addRectangle (mask.getBounds().toFloat());
            outside.addPath (caster);
            outside.setUsingNonZeroWinding (false);
            caster = outside;
        }
        g.fillPath (caster);
    }

    const auto radius = static_cast<int> (std::lround (static_cast<float> (shadow.radius) * scale));
    StackBlur::singleChannel (mask, radius);
    return mask;
}

void CachedShadows::composite (juce::Graphics& target, const ShadowParameters& shadow, const juce::Image& mask,
                               const juce::Path& shape, float scale) const
{
    juce::Graphics::ScopedSaveState state (target);
    if (shadow.inner)
        target.reduceClipRegion (shape, shapeToPixels ({}, scale));

    target.setColour (shadow.colour);
    target.drawImageAt (mask, 0, 0, true);
}

} // namespace melatonin::internal
