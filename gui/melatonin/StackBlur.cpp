#include "StackBlur.h"

#include <array>
#include <atomic>
#include <vector>

namespace melatonin
{

namespace
{

std::atomic<std::uint64_t> blurRuns { 0 };

// The weights of a radius-r stack sum to (r + 1)^2. Dividing by it is a
// multiply and a shift: the multiplier is 2^32 / (r + 1)^2 rounded up, which
// keeps full coverage at exactly 255 and fits the 64-bit product easily.
constexpr int kDivisionShift = 32;

constexpr std::array<std::uint64_t, StackBlur::kMaxRadius + 1> makeMultipliers()
{
    std::array<std::uint64_t, StackBlur::kMaxRadius + 1> table {};
    for (std::size_t r = 0; r < table.size(); ++r)
    {
        const auto weightSum = static_cast<std::uint64_t> ((r + 1) * (r + 1));
        table[r] = ((std::uint64_t { 1 } << kDivisionShift) + weightSum - 1) / weightSum;
    }
    return table;
}

constexpr auto kMultipliers = makeMultipliers();

// One line of pixels, `count` long, `step` bytes apart, each with `channels`
// adjacent bytes. The line is first copied with its edge pixels repeated r
// times on both sides, so the running window never leaves the copy.
template <int channels>
class LineBlur
{
public:
    explicit LineBlur (int radiusToUse) : radius (radiusToUse), multiplier (kMultipliers[(std::size_t) radiusToUse]) {}

    void run (std::uint8_t* first, std::ptrdiff_t step, int count)
    {
        fillPadded (first, step, count);

        using Sums = std::array<std::uint32_t, static_cast<std::size_t> (channels)>;
        Sums sum {}, sumOut {}, sumIn {};
        startWindow (sum, sumOut, sumIn);

        for (int x = 0; x < count; ++x)
        {
            auto* pixel = first + step * x;
            const auto* leaving = paddedAt (x);
            const auto* entering = paddedAt (x + 2 * radius + 1);
            const auto* centre = paddedAt (x + radius + 1);

            for (int c = 0; c < channels; ++c)
            {
                pixel[c] = static_cast<std::uint8_t> ((sum[(size_t) c] * multiplier) >> kDivisionShift);
                sum[(size_t) c] -= sumOut[(size_t) c];
                sumOut[(size_t) c] -= leaving[c];
                sumIn[(size_t) c] += entering[c];
                sum[(size_t) c] += sumIn[(size_t) c];
                sumOut[(size_t) c] += centre[c];
                sumIn[(size_t) c] -= centre[c];
            }
        }
    }

private:
    const std::uint8_t* paddedAt (int index) const { return padded.data() + static_cast<std::size_t> (index * channels); }

    void fillPadded (const std::uint8_t* first, std::ptrdiff_t step, int count)
    {
        const auto length = count + 2 * radius + 1;
        padded.resize (static_cast<std::size_t> (length * channels));
        for (int i = 0; i < length; ++i)
        {
            const auto source = juce::jlimit (0, count - 1, i - radius);
            const auto* pixel = first + step * source;
            for (int c = 0; c < channels; ++c)
                padded[static_cast<std::size_t> (i * channels + c)] = pixel[c];
        }
    }

    // The window around pixel 0: weights 1 ... r + 1 rise to the centre (the
    // outgoing half) and fall back over the r pixels after it (the incoming half).
    template <typename Sums>
    void startWindow (Sums& sum, Sums& sumOut, Sums& sumIn) const
    {
        for (int i = 0; i <= radius; ++i)
            for (int c = 0; c < channels; ++c)
            {
                const auto value = paddedAt (i)[c];
                sum[(size_t) c] += value * static_cast<std::uint32_t> (i + 1);
                sumOut[(size_t) c] += value;
            }

        for (int i = 1; i <= radius; ++i)
            for (int c = 0; c < channels; ++c)
            {
                const auto value = paddedAt (radius + i)[c];
                sum[(size_t) c] += value * static_cast<std::uint32_t> (radius + 1 - i);
                sumIn[(size_t) c] += value;
            }
    }

    int radius;
    std::uint64_t multiplier;
    std::vector<std::uint8_t> padded;
};

} // namespace

template <int channels>
void StackBlur::blurImage (juce::Image& image, int radius)
{
    if (! image.isValid())
        return;

    juce::Image::BitmapData data (image, juce::Image::BitmapData::readWrite);
    jassert (data.pixelStride == channels);

    LineBlur<channels> line (radius);
    for (int y = 0; y < data.height; ++y)
        line.run (data.getLinePointer (y), data.pixelStride, data.width);
    for (int x = 0; x < data.width; ++x)
        line.run (data.getPixelPointer (x, 0), data.lineStride, data.height);

    blurRuns.fetch_add (1, std::memory_order_relaxed);
}

void StackBlur::singleChannel (juce::Image& image, int radius)
{
    jassert (image.getFormat() == juce::Image::SingleChannel);
    blurImage<1> (image, juce::jlimit (1, kMaxRadius, radius));
}

void StackBlur::argb (juce::Image& image, int radius)
{
    jassert (image.getFormat() == juce::Image::ARGB);
    blurImage<4> (image, juce::jlimit (2, kMaxRadius, radius));
}

std::uint64_t StackBlur::runCount() noexcept
{
    return blurRuns.load (std::memory_order_relaxed);
}

} // namespace melatonin
