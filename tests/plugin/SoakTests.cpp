// Long randomized runs through the processor: every parameter automated at
// random, random block sizes and sample rates, sidechain routed and unrouted,
// and hostile input (silence, full scale, DC, denormals, +-1e30, NaN). The
// output stays finite and bounded, the audio path never allocates or locks,
// and normal sound comes back right after a bad block.
//
// ZEL_SOAK_SECONDS sets the simulated duration (default 300 s; hours work too).

#include "plugin/Processor.h"
#include "support/AudioThreadGuard.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace vo::test
{
namespace
{
using vo::plugins::zel::Processor;

enum class Signal
{
    silence,
    noise,
    fullScale,
    dc,
    denormal,
    huge,
    nan,
    count
};

constexpr double kSampleRates[] = { 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 };
constexpr float kOutputBound = 16.0f;
constexpr double kRingSeconds = 0.2;

double soakSeconds()
{
    if (const char* text = std::getenv ("ZEL_SOAK_SECONDS"))
        return std::max (1.0, std::atof (text));
    return 300.0;
}

float sampleFor (Signal signal, juce::Random& random)
{
    switch (signal)
    {
        case Signal::silence:   return 0.0f;
        case Signal::noise:     return 0.3f * (random.nextFloat() * 2.0f - 1.0f);
        case Signal::fullScale: return random.nextBool() ? 1.0f : -1.0f;
        case Signal::dc:        return 0.5f;
        case Signal::denormal:  return (random.nextFloat() - 0.5f) * 1.0e-39f;
        case Signal::huge:      return random.nextBool() ? 1.0e30f : -1.0e30f;
        case Signal::nan:       return random.nextInt (50) == 0 ? std::numeric_limits<float>::quiet_NaN() : 0.1f;
        case Signal::count:     break;
    }
    return 0.0f;
}

bool isHostile (Signal s)
{
    return s == Signal::huge || s == Signal::nan;
}

void automateEverything (Processor& p, juce::Random& random)
{
    for (auto* parameter : p.getParameters())
        if (random.nextInt (8) == 0)
            parameter->setValueNotifyingHost (random.nextFloat());
}

void routeSidechain (Processor& p, bool routed)
{
    auto layout = p.getBusesLayout();
    layout.inputBuses.getReference (1) = routed ? juce::AudioChannelSet::stereo() : juce::AudioChannelSet::disabled();
    p.setBusesLayout (layout);
}
} // namespace

TEST (Soak, RandomAutomationBlockSizesRatesAndHostileInput)
{
    juce::Random random (20261209);
    Processor p;
    juce::AudioBuffer<float> buffer (4, 8192);
    juce::MidiBuffer midi;

    const double target = soakSeconds();
    double simulated = 0.0;
    int badBlocks = 0, recoveries = 0;

    // A cut-only equaliser never makes anything much louder than what it was
    // recently given; huge input rings out over a few hundred milliseconds.
    float recentLoudest = 1.0f;

    while (simulated < target)
    {
        // A new "session": rate, announced block size, routing.
        const double rate = kSampleRates[random.nextInt ((int) std::size (kSampleRates))];
        const bool routed = random.nextBool();
        routeSidechain (p, routed);
        p.prepareToPlay (rate, 1 + random.nextInt (4096));
        const int channels = routed ? 4 : 2;

        for (int segment = 0; segment < 20; ++segment)
        {
            const auto mainSignal = (Signal) random.nextInt ((int) Signal::count);
            const auto sideSignal = (Signal) random.nextInt ((int) Signal::count);
            const int blocks = 1 + random.nextInt (20);
            for (int b = 0; b < blocks; ++b)
            {
                const int size = 1 + random.nextInt (random.nextInt (4) == 0 ? 8192 : 600);
                for (int i = 0; i < size; ++i)
                {
                    buffer.setSample (0, i, sampleFor (mainSignal, random));
                    buffer.setSample (1, i, sampleFor (mainSignal, random));
                    buffer.setSample (2, i, sampleFor (sideSignal, random));
                    buffer.setSample (3, i, sampleFor (sideSignal, random));
                }
                automateEverything (p, random);

                float loudestInput = 0.0f; // the audition path plays the sidechain
                for (int c = 0; c < channels; ++c)
                    for (int i = 0; i < size; ++i)
                        if (std::isfinite (buffer.getSample (c, i)))
                            loudestInput = std::max (loudestInput, std::abs (buffer.getSample (c, i)));

                recentLoudest = std::max (loudestInput, recentLoudest * (float) std::exp (-(size / rate) / kRingSeconds));

                juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), channels, size);
                {
                    vo::test::AudioThreadGuard guard;
                    p.processBlock (view, midi);
                    ASSERT_EQ (guard.allocations(), 0u);
                    ASSERT_EQ (guard.locks(), 0u);
                }

                for (int c = 0; c < 2; ++c)
                {
                    for (int i = 0; i < size; ++i)
                    {
                        const float y = view.getSample (c, i);
                        ASSERT_TRUE (std::isfinite (y)) << "rate " << rate << " signal " << (int) mainSignal;
                        ASSERT_LE (std::abs (y), kOutputBound * std::max (1.0f, recentLoudest));
                        // Denormals only leave when they came in (a flat bank passes samples untouched).
                        ASSERT_TRUE (y == 0.0f || std::abs (y) >= FLT_MIN || mainSignal == Signal::denormal) << "denormal output";
                    }
                }
                badBlocks += isHostile (mainSignal) ? 1 : 0;
                simulated += size / rate;
            }

            // After hostile input, ordinary sound is back at once.
            if (isHostile (mainSignal))
            {
                for (int i = 0; i < 512; ++i)
                    for (int c = 0; c < channels; ++c)
                        buffer.setSample (c, i, sampleFor (Signal::noise, random));
                auto& bypass = p.getStateManager().param ("bypass");
                auto& audition = p.getStateManager().param ("scAudition");
                bypass.setValueNotifyingHost (0.0f);
                audition.setValueNotifyingHost (0.0f);
                juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), channels, 512);
                p.processBlock (view, midi);
                float energy = 0.0f;
                for (int i = 0; i < 512; ++i)
                    energy += std::abs (view.getSample (0, i));
                EXPECT_GT (energy, 0.0f);
                recoveries += energy > 0.0f ? 1 : 0;
            }

            // The display only ever shows sane numbers.
            vo::plugins::zel::DisplayFrame frame;
            p.getEngine().readDisplayFrame (frame);
            for (int band = 0; band < vo::plugins::zel::kBandCount; ++band)
            {
                ASSERT_TRUE (std::isfinite (frame.scLevels[(size_t) band]));
                ASSERT_GE (frame.cut[(size_t) band], -30.0f);
                ASSERT_LE (frame.cut[(size_t) band], 0.0f);
            }
        }
    }

    EXPECT_GT (badBlocks, 0);
    EXPECT_GT (recoveries, 0);
    std::cout << "[ SOAK     ] " << juce::roundToInt (simulated) << " s of audio simulated" << std::endl;
}

} // namespace vo::test
