// Cost of the plug-in layer: the real Processor driven through processBlock,
// stereo main + stereo sidechain in one buffer as a host passes them, against
// the engine alone with the very settings the processor hands it.
//
// steady:     the cut settled, then frozen (the bells hold still);
// worstCase:  the sidechain's band levels jump every analysis hop, with the
//             shortest attack and release the parameters allow.
//
// Parameters are set once before playback and then left alone, as a host
// leaves them. path 0 is the engine alone, path 1 the processor.

#include "CarveEngine.h"
#include "plugin/Processor.h"
#include "reference/EngineProbe.h"

#include <benchmark/benchmark.h>

#include <juce_audio_processors/juce_audio_processors.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

namespace
{
using vo::plugins::zel::CarveEngine;
using vo::plugins::zel::EngineProbe;
using vo::plugins::zel::EngineSettings;
using vo::plugins::zel::Processor;

constexpr double kRate = 48000.0;
constexpr int kSignalLength = 1 << 17;
constexpr int kHop = 512;   // how often the worst case's levels jump

struct Signals
{
    std::vector<float> channel[4];   // main L, R, sidechain L, R
};

Signals makeSignals (bool worstCase)
{
    Signals s;
    std::mt19937 rng (1234);
    std::uniform_real_distribution<float> noise (-0.3f, 0.3f);
    std::uniform_real_distribution<float> levelDb (-20.0f, 0.0f);

    for (int c = 0; c < 2; ++c)
    {
        s.channel[c].resize (kSignalLength);
        for (auto& x : s.channel[c])
            x = noise (rng);
    }

    constexpr int kBands = vo::plugins::zel::kBandCount;
    std::vector<float> gains (kBands, 1.0f);
    for (int c = 0; c < 2; ++c)
    {
        auto& ch = s.channel[2 + c];
        ch.assign (kSignalLength, 0.0f);
        for (int i = 0; i < kSignalLength; ++i)
        {
            if (worstCase && i % kHop == 0)
                for (auto& g : gains)
                    g = std::pow (10.0f, levelDb (rng) / 20.0f);

            double sum = 0.0;
            for (int b = 0; b < kBands; ++b)
            {
                const double f = std::min ((double) vo::plugins::zel::bandCentreHz (b), 0.45 * kRate);
                sum += gains[(size_t) b] * std::sin (2.0 * std::numbers::pi * f * i / kRate + c);
            }
            ch[(size_t) i] = (float) (0.03 * sum);
        }
    }
    return s;
}

void setPlain (Processor& p, const char* id, float plainValue)
{
    auto& parameter = p.getStateManager().param (id);
    parameter.setValueNotifyingHost (parameter.convertTo0to1 (plainValue));
}

// A processor as a host sets it up: sidechain on, parameters set, prepared.
std::unique_ptr<Processor> makeProcessor (int blockSize, bool worstCase)
{
    auto p = std::make_unique<Processor>();
    auto layout = p->getBusesLayout();
    layout.inputBuses.getReference (1) = juce::AudioChannelSet::stereo();
    p->setBusesLayout (layout);
    setPlain (*p, "amount", 100.0f);
    setPlain (*p, "smooth", 30.0f);
    if (worstCase)
    {
        setPlain (*p, "attack", 5.0f);
        setPlain (*p, "release", 10.0f);
    }
    p->prepareToPlay (kRate, blockSize);
    return p;
}

// Runs one block of either path over the same signals.
class Runner
{
public:
    Runner (int samplesPerBlock, bool worstCase, bool throughProcessor)
        : blockSize (samplesPerBlock), viaProcessor (throughProcessor), signals (makeSignals (worstCase)),
          buffer (4, samplesPerBlock)
    {
        processor = makeProcessor (blockSize, worstCase);
        engine.prepare (kRate, blockSize);

        // Two seconds to settle; the steady regime then freezes the cut.
        settle (2.0);
        if (! worstCase)
        {
            setPlain (*processor, "freeze", 1.0f);
            settle (0.5);
        }
    }

    void runBlock()
    {
        if (position + blockSize > kSignalLength)
            position = 0;

        for (int c = 0; c < 4; ++c)
            std::memcpy (buffer.getWritePointer (c), signals.channel[c].data() + position, sizeof (float) * (size_t) blockSize);

        if (viaProcessor)
        {
            processor->processBlock (buffer, midi);
        }
        else
        {
            float* const* channels = buffer.getArrayOfWritePointers();
            engine.process (channels, 2, channels + 2, 2, blockSize);
        }
        position += blockSize;
    }

private:
    // Both paths run: the engine alone takes the settings the processor has
    // just handed its own engine.
    void settle (double seconds)
    {
        for (int n = 0; n < (int) (seconds * kRate); n += blockSize)
        {
            const bool via = viaProcessor;
            viaProcessor = true;
            runBlock();
            position -= blockSize;
            viaProcessor = false;
            engine.setSettings (EngineProbe::settings (processor->getEngine()));
            runBlock();
            viaProcessor = via;
        }
    }

    int blockSize;
    bool viaProcessor;
    Signals signals;
    juce::AudioBuffer<float> buffer;
    juce::MidiBuffer midi;
    std::unique_ptr<Processor> processor;
    CarveEngine engine;
    int position = 0;
};

// The timed loop alone, out of line so that a profiler can be told to count
// only what runs inside it (valgrind --toggle-collect='*measure*').
__attribute__ ((noinline)) void measure (benchmark::State& state, Runner& runner)
{
    for (auto _ : state)
    {
        runner.runBlock();
        benchmark::ClobberMemory();
    }
}

void processorBench (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI framework;
    const auto blockSize = (int) state.range (0);
    const bool worstCase = state.range (1) != 0;
    const bool viaProcessor = state.range (2) != 0;

    juce::ScopedNoDenormals noDenormals;
    Runner runner (blockSize, worstCase, viaProcessor);
    measure (state, runner);

    const auto frames = (double) state.iterations() * blockSize;
    state.counters["ns_per_frame"] = benchmark::Counter (frames * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter (frames / kRate, benchmark::Counter::kIsRate);
    state.SetLabel (std::string (worstCase ? "worstCase" : "steady") + (viaProcessor ? " processor" : " engine"));
}

BENCHMARK (processorBench)->ArgNames ({ "block", "worst", "path" })->ArgsProduct ({ { 32, 512 }, { 0, 1 }, { 0, 1 } });

} // namespace

BENCHMARK_MAIN();
