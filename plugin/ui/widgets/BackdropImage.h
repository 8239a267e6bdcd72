#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

namespace vo::plugins::zel::ui
{

// The picture behind the whole editor: the panel photograph scaled to the
// width, repeated downwards with every second tile mirrored (so each join
// meets its own row), evened out row by row and tinted with a vertical
// gradient from the top colour to the bottom colour 608 design pixels lower.
class BackdropImage
{
public:
    static constexpr juce::uint32 kTopColour = 0xffdc9290;
    static constexpr juce::uint32 kBottomColour = 0xffbc5d55;
    static constexpr float kGradientHeight = 608.0f;
    static constexpr int kMaxTiles = 6;

    // Gains that even out the panel's rows: the overall mean brightness over
    // each row's mean, limited to 0.5 … 2; empty for a picture without light.
    static std::vector<float> rowGains (const juce::Image& panel);

    // The backdrop of `width` × `height` design pixels at `scale` pixels per
    // design pixel, from the panel (the plain gradient without one).
    static juce::Image render (const juce::Image& panel, const std::vector<float>& gains, int width, int height,
                               float scale);

    // The tile height for a panel scaled to `pixelWidth`.
    static int tileHeight (const juce::Image& panel, int pixelWidth);

private:
    static juce::Image gradient (int pixelWidth, int pixelHeight, float scale);
    static void tintRow (juce::PixelARGB* row, int width, float designY, float gain);
};

} // namespace vo::plugins::zel::ui
