#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

namespace vo::plugins::zel
{

// Click-free host bypass: keeps a dry copy of each block and cross-fades
// linearly between it and the processed signal over 30 ms when bypass flips.
class BypassFader
{
public:
    static constexpr double kRampSeconds = 0.03;
    static constexpr int kChannels = 2;

    // Allocates; call from prepare only. A bypassed instance starts dry.
    void prepare (double sampleRate, int blockSize, bool bypassed);

    void pushDry (const float* const* channels, int numChannels, int numSamples) noexcept;
    void mixProcessed (float* const* channels, int numChannels, int numSamples, bool bypassed) noexcept;

    // Weight of the processed signal: 1 = processed, 0 = dry.
    float getGain() const noexcept { return gain.getCurrentValue(); }
    bool isRamping() const noexcept { return gain.isSmoothing(); }
    int getRampLength() const noexcept { return rampLength; }

private:
    juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear> gain { 1.0f };
    std::vector<float> dry;
    int stride = 0;
    int preparedBlockSize = 0;
    int rampLength = 0;
};

} // namespace vo::plugins::zel
