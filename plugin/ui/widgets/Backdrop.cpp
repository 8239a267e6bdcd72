#include "Backdrop.h"

#include "Artwork.h"
#include "BackdropImage.h"

#include "gui/DisplayScale.h"

#include <cmath>

namespace vo::plugins::zel::ui
{

namespace
{

constexpr float kScaleStep = 0.5f;
constexpr float kLowestScale = 0.5f;
constexpr float kHighestScale = 2.0f;

} // namespace

Backdrop::Backdrop (const vo::gui::Theme& theme)
    : panel (Artwork::load ("zelpanel_png")),
      screw (Artwork::load ("zelscrew_png")),
      gains (BackdropImage::rowGains (panel)),
      screwShade (theme.knobContactShadow)
{
    setOpaque (true);
    setInterceptsMouseClicks (false, false);
}

void Backdrop::setOverlap (int pixels)
{
    overlap = juce::jmax (0, pixels);
    cached = {};
    repaint();
}

void Backdrop::setCornerRadius (float radius)
{
    cornerRadius = juce::jmax (0.0f, radius);
    repaint();
}

float Backdrop::textureScale (float physicalScale)
{
    return juce::jlimit (kLowestScale, kHighestScale, std::ceil (physicalScale / kScaleStep) * kScaleStep);
}

void Backdrop::resized()
{
    cached = {};
}

void Backdrop::prepare (int width, int height, float scale)
{
    const auto pixelWidth = juce::roundToInt (static_cast<float> (width) * scale);
    const auto pixelHeight = juce::roundToInt (static_cast<float> (height) * scale);
    if (cached.isValid() && scale == cachedScale && cached.getWidth() == pixelWidth && cached.getHeight() == pixelHeight)
        return;
    cached = BackdropImage::render (panel, gains, width, height, scale);
    cachedScale = scale;
    ++builds;
}

void Backdrop::paint (juce::Graphics& g)
{
    const juce::Rectangle<float> area (0.0f, static_cast<float> (-overlap), static_cast<float> (getWidth()),
                                       static_cast<float> (getHeight() + overlap));
    if (area.isEmpty())
        return;
    const auto scale = textureScale (g.getInternalContext().getPhysicalPixelScaleFactor());
    prepare (getWidth(), getHeight() + overlap, scale);

    const juce::Graphics::ScopedSaveState state (g);
    if (cornerRadius > 0.0f)
    {
        juce::Path rounded;
        rounded.addRoundedRectangle (area, cornerRadius);
        g.reduceClipRegion (rounded);
    }
    vo::gui::DisplayScale::drawAt (g, cached, area.getTopLeft(), scale);
    paintScrews (g, area);
}

void Backdrop::paintScrews (juce::Graphics& g, juce::Rectangle<float> area)
{
    if (area.getWidth() < kScrewsFrom || area.getHeight() < kScrewsFrom || ! screw.isValid())
        return;
    const auto pixels = static_cast<int> (std::ceil (kScrewSize * vo::gui::DisplayScale::of (g)));
    const auto& picture = screwScaled.forPixels (screw, pixels);
    const auto inner = area.reduced (kScrewInset);
    const auto size = juce::Rectangle<float> (kScrewSize, kScrewSize);
    for (const auto corner : { inner.getTopLeft(), inner.getTopRight(), inner.getBottomLeft(), inner.getBottomRight() })
    {
        const auto x = corner.x == inner.getX() ? corner.x : corner.x - kScrewSize;
        const auto y = corner.y == inner.getY() ? corner.y : corner.y - kScrewSize;
        const auto bounds = size.withPosition (x, y);
        screwShade.draw (g, picture, bounds, 0);
        g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
        g.drawImage (picture, bounds, juce::RectanglePlacement::stretchToFit);
    }
}

} // namespace vo::plugins::zel::ui
