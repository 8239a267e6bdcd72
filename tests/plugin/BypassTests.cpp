// The host bypass: a 30 ms linear cross-fade between processed and dry, with
// no step at either end, and instances prepared while bypassed start dry.

#include "plugin/BypassFader.h"
#include "plugin/Processor.h"
#include "support/ProcessorProbe.h"

#include <gtest/gtest.h>

namespace vo::test
{
namespace
{
using vo::plugins::zel::BypassFader;
using vo::plugins::zel::ProcessorProbe;

// "Processed" is the dry signal times -1 so every mix value is traceable:
// out = (1 - g) * d + g * (-d) = (1 - 2g) * d.
float gainFrom (float dry, float out)
{
    return (1.0f - out / dry) * 0.5f;
}

std::vector<float> runFade (double sampleRate, int blockSize, int totalSamples, int switchAt, bool on)
{
    BypassFader fader;
    fader.prepare (sampleRate, blockSize, ! on);
    std::vector<float> gains;
    std::vector<float> channel ((size_t) blockSize);
    for (int start = 0; start < totalSamples; start += blockSize)
    {
        const int n = std::min (blockSize, totalSamples - start);
        std::fill (channel.begin(), channel.end(), 0.5f);
        float* ptr = channel.data();
        fader.pushDry (&ptr, 1, n);
        for (int i = 0; i < n; ++i)
            channel[(size_t) i] = -0.5f;
        fader.mixProcessed (&ptr, 1, n, start >= switchAt ? on : ! on);
        for (int i = 0; i < n; ++i)
            gains.push_back (gainFrom (0.5f, channel[(size_t) i]));
    }
    return gains;
}

int rampLengthIn (const std::vector<float>& gains, float from, float to)
{
    int first = -1, last = -1;
    for (int i = 0; i < (int) gains.size(); ++i)
    {
        if (first < 0 && gains[(size_t) i] != from)
            first = i;
        if (first >= 0 && last < 0 && gains[(size_t) i] == to)
            last = i;
    }
    return last - first + 1;
}
} // namespace

TEST (Bypass, FadeLastsThirtyMilliseconds)
{
    EXPECT_EQ (rampLengthIn (runFade (44100.0, 256, 4096, 512, true), 1.0f, 0.0f), 1323);
    EXPECT_EQ (rampLengthIn (runFade (48000.0, 512, 4096, 512, true), 1.0f, 0.0f), 1440);
    EXPECT_EQ (rampLengthIn (runFade (48000.0, 64, 4096, 512, false), 0.0f, 1.0f), 1440);
}

TEST (Bypass, FadeIsLinearWithoutSteps)
{
    const auto gains = runFade (48000.0, 100, 3000, 300, true);
    const float step = 1.0f / 1440.0f;
    for (size_t i = 1; i < gains.size(); ++i)
        EXPECT_LE (std::abs (gains[i] - gains[i - 1]), step * 1.01f) << i;
    EXPECT_EQ (gains.front(), 1.0f);
    EXPECT_EQ (gains.back(), 0.0f);
}

TEST (Bypass, ProcessorPreparedWhileBypassedStartsDry)
{
    vo::plugins::zel::Processor p;
    auto& bypass = p.getStateManager().param ("bypass");
    bypass.setValueNotifyingHost (1.0f);
    p.prepareToPlay (48000.0, 128);
    EXPECT_EQ (ProcessorProbe::bypassFader (p).getGain(), 0.0f);
    EXPECT_FALSE (ProcessorProbe::bypassFader (p).isRamping());

    juce::AudioBuffer<float> buffer (2, 128);
    for (int i = 0; i < 128; ++i)
    {
        buffer.setSample (0, i, std::sin ((float) i * 0.1f));
        buffer.setSample (1, i, std::cos ((float) i * 0.1f));
    }
    juce::AudioBuffer<float> copy (buffer);
    juce::MidiBuffer midi;
    p.processBlock (buffer, midi);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 128; ++i)
            EXPECT_EQ (buffer.getSample (c, i), copy.getSample (c, i));
}

TEST (Bypass, ToggleInProcessorFadesBothWays)
{
    vo::plugins::zel::Processor p;
    p.prepareToPlay (44100.0, 512);
    auto& bypass = p.getStateManager().param ("bypass");
    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;

    bypass.setValueNotifyingHost (1.0f);
    int samples = 0;
    while (ProcessorProbe::bypassFader (p).getGain() > 0.0f && samples < 10000)
    {
        buffer.clear();
        p.processBlock (buffer, midi);
        samples += 512;
    }
    EXPECT_EQ (ProcessorProbe::bypassFader (p).getGain(), 0.0f);
    EXPECT_EQ (samples, 1536); // 1323 samples of ramp end inside the third block

    bypass.setValueNotifyingHost (0.0f);
    buffer.clear();
    p.processBlock (buffer, midi);
    EXPECT_TRUE (ProcessorProbe::bypassFader (p).isRamping());
    EXPECT_NEAR (ProcessorProbe::bypassFader (p).getGain(), 512.0f / 1323.0f, 1e-4f);
}

} // namespace vo::test
