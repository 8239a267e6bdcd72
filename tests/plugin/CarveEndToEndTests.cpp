// The product's promise, measured through the processor: a kick on the
// sidechain carves the kick's bands out of a pink-noise track, and bands
// outside the allowed range are left alone.

#include "plugin/Processor.h"

#include <juce_dsp/juce_dsp.h>

#include <gtest/gtest.h>

#include <cmath>

namespace vo::test
{
namespace
{
using vo::plugins::zel::Processor;

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr int kSeconds = 4;

std::vector<float> pinkNoise (int samples, float level, juce::Random& random)
{
    // Paul Kellet's economy pink filter over white noise.
    std::vector<float> out ((size_t) samples);
    float b0 = 0, b1 = 0, b2 = 0;
    for (auto& s : out)
    {
        const float white = random.nextFloat() * 2.0f - 1.0f;
        b0 = 0.99765f * b0 + white * 0.0990460f;
        b1 = 0.96300f * b1 + white * 0.2965164f;
        b2 = 0.57000f * b2 + white * 1.0526913f;
        s = level * (b0 + b1 + b2 + white * 0.1848f);
    }
    return out;
}

// Two kicks a second: a 55 Hz body with a falling pitch and a fast decay.
std::vector<float> kicks (int samples)
{
    std::vector<float> out ((size_t) samples);
    const int period = (int) kRate / 2;
    double phase = 0.0;
    for (int i = 0; i < samples; ++i)
    {
        const double t = (double) (i % period) / kRate;
        if (i % period == 0)
            phase = 0.0;
        const double freq = 55.0 + 90.0 * std::exp (-t * 40.0);
        phase += 2.0 * juce::MathConstants<double>::pi * freq / kRate;
        out[(size_t) i] = (float) (0.9 * std::exp (-t * 6.0) * std::sin (phase));
    }
    return out;
}

// Average power in [lowHz, highHz) over Hann-windowed frames, in dB.
double bandPowerDb (const std::vector<float>& signal, int start, double lowHz, double highHz)
{
    constexpr int order = 13;
    constexpr int size = 1 << order;
    juce::dsp::FFT fft (order);
    juce::dsp::WindowingFunction<float> window (size, juce::dsp::WindowingFunction<float>::hann, false);
    std::vector<float> frame (2 * size);
    double sum = 0.0;
    int frames = 0;
    for (int pos = start; pos + size <= (int) signal.size(); pos += size / 2, ++frames)
    {
        std::fill (frame.begin(), frame.end(), 0.0f);
        std::copy (signal.begin() + pos, signal.begin() + pos + size, frame.begin());
        window.multiplyWithWindowingTable (frame.data(), size);
        fft.performFrequencyOnlyForwardTransform (frame.data());
        for (int bin = 0; bin < size / 2; ++bin)
        {
            const double hz = bin * kRate / size;
            if (hz >= lowHz && hz < highHz)
                sum += (double) frame[(size_t) bin] * frame[(size_t) bin];
        }
    }
    return 10.0 * std::log10 (sum / std::max (frames, 1) + 1e-30);
}

struct Render
{
    std::vector<float> input, output;
};

Render render (float amount, float lowCut, float highCut)
{
    Processor p;
    auto layout = p.getBusesLayout();
    layout.inputBuses.getReference (1) = juce::AudioChannelSet::stereo();
    EXPECT_TRUE (p.setBusesLayout (layout));
    auto set = [&p] (const char* id, float v) {
        auto& prm = p.getStateManager().param (id);
        prm.setValueNotifyingHost (prm.convertTo0to1 (v));
    };
    set ("amount", amount);
    set ("lowCut", lowCut);
    set ("highCut", highCut);
    p.prepareToPlay (kRate, kBlock);

    const int total = (int) kRate * kSeconds;
    juce::Random random (42);
    Render r;
    r.input = pinkNoise (total, 0.2f, random);
    const auto sidechain = kicks (total);
    r.output.resize ((size_t) total);

    juce::AudioBuffer<float> buffer (4, kBlock);
    juce::MidiBuffer midi;
    for (int pos = 0; pos < total; pos += kBlock)
    {
        for (int i = 0; i < kBlock; ++i)
        {
            buffer.setSample (0, i, r.input[(size_t) (pos + i)]);
            buffer.setSample (1, i, r.input[(size_t) (pos + i)]);
            buffer.setSample (2, i, sidechain[(size_t) (pos + i)]);
            buffer.setSample (3, i, sidechain[(size_t) (pos + i)]);
        }
        p.processBlock (buffer, midi);
        for (int i = 0; i < kBlock; ++i)
            r.output[(size_t) (pos + i)] = buffer.getSample (0, i);
    }
    return r;
}
} // namespace

TEST (CarveEndToEnd, KickCarvesItsBandsOutOfTheTrack)
{
    const auto r = render (100.0f, 20.0f, 20000.0f);
    const int settled = (int) kRate; // skip the first second
    const double kickBandDrop = bandPowerDb (r.input, settled, 45.0, 120.0) - bandPowerDb (r.output, settled, 45.0, 120.0);
    const double highBandDrop = bandPowerDb (r.input, settled, 4000.0, 12000.0) - bandPowerDb (r.output, settled, 4000.0, 12000.0);
    EXPECT_GT (kickBandDrop, 6.0);
    EXPECT_LT (std::abs (highBandDrop), 0.5);
}

TEST (CarveEndToEnd, BandsOutsideTheRangeAreUntouched)
{
    // The kick lives below 150 Hz; allowing cuts only from 1 kHz up leaves it alone.
    const auto r = render (100.0f, 1000.0f, 20000.0f);
    const int settled = (int) kRate;
    const double kickBandDrop = bandPowerDb (r.input, settled, 45.0, 120.0) - bandPowerDb (r.output, settled, 45.0, 120.0);
    EXPECT_LT (std::abs (kickBandDrop), 0.1);
}

TEST (CarveEndToEnd, AmountZeroIsTransparent)
{
    const auto r = render (0.0f, 20.0f, 20000.0f);
    for (size_t i = 0; i < r.input.size(); ++i)
        ASSERT_EQ (r.output[i], r.input[i]) << i;
}

} // namespace vo::test
