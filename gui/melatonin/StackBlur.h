#pragma once

#include <juce_graphics/juce_graphics.h>

#include <cstdint>

namespace melatonin
{

// Stack Blur: a triangle-weighted running sum along each row and then each
// column, which looks close to a Gaussian and costs the same for any radius.
// Edges repeat their last pixel.
class StackBlur
{
public:
    static constexpr int kMaxRadius = 254;

    // Blurs a single-channel image in place; the radius is held to 1 ... 254.
    static void singleChannel (juce::Image& image, int radius);

    // Blurs all four channels of an ARGB image in place; the radius is held
    // to 2 ... 254 (a radius of 1 barely softens premultiplied edges).
    static void argb (juce::Image& image, int radius);

    // How many blurs ran in this process, so that tests and benchmarks can
    // prove a repaint used its caches.
    static std::uint64_t runCount() noexcept;

private:
    template <int channels>
    static void blurImage (juce::Image& image, int radius);
};

} // namespace melatonin
