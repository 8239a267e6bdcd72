#pragma once

#include <juce_graphics/juce_graphics.h>

namespace vo::plugins::zel::ui
{

// The spectrum view's own colours: the sidechain is amber, this track's cut
// is cream (a warmer cream while frozen, so a held cut is told apart).
struct SpectrumPalette
{
    static constexpr juce::uint32 kAmber = 0xfff4bb3b;
    static constexpr juce::uint32 kCream = 0xffe8e2c4;
    static constexpr juce::uint32 kFrozenCream = 0xfff1d9a0;
    static constexpr juce::uint32 kPale = 0xffd4d3b1;

    static constexpr float kAreaAlpha = 0.22f;
    static constexpr float kCursorAlpha = 0.8f;
    static constexpr float kDotAlpha = 0.6f;
    static constexpr float kLimitAlpha = 0.35f;
    static constexpr float kShadeAlpha = 0.45f;
    static constexpr float kLabelAlpha = 0.7f;
    static constexpr float kGridAlpha = 0.85f;
    static constexpr float kGridHighlightAlpha = 0.2f;
    static constexpr float kChipAlpha = 0.92f;

    static juce::Colour amber() { return juce::Colour (kAmber); }
    static juce::Colour cream() { return juce::Colour (kCream); }
    static juce::Colour frozenCream() { return juce::Colour (kFrozenCream); }
    static juce::Colour pale() { return juce::Colour (kPale); }
    static juce::Colour label() { return pale().withAlpha (kLabelAlpha); }
    static juce::Colour cut (bool frozen) { return frozen ? frozenCream() : cream(); }
};

} // namespace vo::plugins::zel::ui
