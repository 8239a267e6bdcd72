#include "DemoSignals.h"

#include <cmath>

namespace vo::tools
{

namespace
{
    constexpr double kTwoPi = juce::MathConstants<double>::twoPi;

    int totalSamples() { return (int) (DemoSignals::kSampleRate * DemoSignals::kSeconds); }
    int beatSamples() { return (int) (DemoSignals::kSampleRate * 60.0 / DemoSignals::kBeatsPerMinute); }

    // A soft saw from a few harmonics: bright enough to fill the low mids.
    double softSaw (double phase)
    {
        double value = 0.0;
        for (int h = 1; h <= 8; ++h)
            value += std::sin (phase * h) / h;
        return value * 0.5;
    }
}

std::vector<int> DemoSignals::kickStarts()
{
    std::vector<int> starts;
    for (int pos = 0; pos < totalSamples(); pos += beatSamples())
        starts.push_back (pos);
    return starts;
}

juce::AudioBuffer<float> DemoSignals::makePad()
{
    // A minor chord spread over two octaves, slightly detuned per side.
    const double chordHz[] = { 110.0, 130.81, 164.81, 220.0, 261.63 };
    juce::AudioBuffer<float> pad (2, totalSamples());
    juce::Random random (2024);
    float noiseState = 0.0f;

    for (int i = 0; i < totalSamples(); ++i)
    {
        const double t = (double) i / kSampleRate;
        const double swell = 0.6 + 0.4 * std::sin (kTwoPi * 0.125 * t);
        for (int ch = 0; ch < 2; ++ch)
        {
            double sum = 0.0;
            for (double hz : chordHz)
                sum += softSaw (kTwoPi * hz * (1.0 + (ch == 0 ? -0.002 : 0.002)) * t);
            noiseState = 0.97f * noiseState + 0.03f * (random.nextFloat() * 2.0f - 1.0f);
            pad.setSample (ch, i, (float) (0.08 * swell * sum) + 0.3f * noiseState);
        }
    }
    return pad;
}

juce::AudioBuffer<float> DemoSignals::makeKickAndBass()
{
    juce::AudioBuffer<float> groove (2, totalSamples());
    groove.clear();
    const int beat = beatSamples();
    const double bassHz[] = { 55.0, 55.0, 65.41, 49.0 };

    for (int i = 0; i < totalSamples(); ++i)
    {
        const int inBeat = i % beat;
        const int beatIndex = i / beat;
        const double t = (double) inBeat / kSampleRate;

        // Kick: a pitch drop from 150 to 50 Hz with a fast decay.
        const double kickPhase = kTwoPi * (50.0 * t + (100.0 / 30.0) * (1.0 - std::exp (-30.0 * t)));
        const double kick = 0.9 * std::exp (-t * 9.0) * std::sin (kickPhase);

        // Bass on the off-beat, one note per bar.
        double bass = 0.0;
        if (inBeat >= beat / 2)
        {
            const double tb = (double) (inBeat - beat / 2) / kSampleRate;
            const double hz = bassHz[(beatIndex / 4) % 4];
            bass = 0.5 * std::exp (-tb * 4.0) * softSaw (kTwoPi * hz * tb) * 0.8;
        }

        const auto value = (float) (kick + bass);
        groove.setSample (0, i, value);
        groove.setSample (1, i, value);
    }
    return groove;
}

} // namespace vo::tools
