#include "BypassFader.h"

#include <algorithm>
#include <cmath>

namespace vo::plugins::zel
{

void BypassFader::prepare (double sampleRate, int blockSize, bool bypassed)
{
    rampLength = (int) std::floor (sampleRate * kRampSeconds);
    gain.reset (rampLength);

    if (blockSize != preparedBlockSize || dry.empty())
    {
        stride = (blockSize + 3) / 4 * 4;
        dry.assign ((size_t) (kChannels * stride), 0.0f);
        preparedBlockSize = blockSize;
    }

    gain.setCurrentAndTargetValue (bypassed ? 0.0f : 1.0f);
}

void BypassFader::pushDry (const float* const* channels, int numChannels, int numSamples) noexcept
{
    const int count = std::min (numSamples, preparedBlockSize);
    const int used = std::min (numChannels, kChannels);
    for (int ch = 0; ch < used; ++ch)
        std::copy (channels[ch], channels[ch] + count, dry.data() + ch * stride);
}

void BypassFader::mixProcessed (float* const* channels, int numChannels, int numSamples, bool bypassed) noexcept
{
    gain.setTargetValue (bypassed ? 0.0f : 1.0f);

    if (! gain.isSmoothing() && gain.getTargetValue() == 1.0f)
        return;

    const int count = std::min (numSamples, preparedBlockSize);
    const int used = std::min (numChannels, kChannels);
    for (int i = 0; i < count; ++i)
    {
        const float g = gain.getNextValue();
        for (int ch = 0; ch < used; ++ch)
        {
            // A NaN or infinity from the host must not leave through the dry path
            // either; the engine already silences such blocks on its side.
            const float dryInput = dry[(size_t) (ch * stride + i)];
            const float dryValue = std::isfinite (dryInput) ? dryInput : 0.0f;
            channels[ch][i] = (1.0f - g) * dryValue + g * channels[ch][i];
        }
    }
}

} // namespace vo::plugins::zel
