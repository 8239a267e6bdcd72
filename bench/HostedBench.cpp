// Cost of the whole plug-in as a host sees it: the built ZEL.vst3 loaded
// through JUCE's own VST3 hosting, stereo main + stereo sidechain, the same
// signals and parameters as zel_processor_bench (compare with its engine
// rows). The parameters are set once before playback, by their normalised
// values: 0 is the shortest attack and release.

#include <juce_audio_processors/juce_audio_processors.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

namespace
{
constexpr double kRate = 48000.0;
constexpr int kSignalLength = 1 << 17;
constexpr int kHop = 512;
constexpr int kBands = 32;

// The bands' centres as the engine lays them out (BandLayout.cpp), so that
// the sidechain is the processor bench's to the bit; this program shares no
// code with the plug-in.
double centreHz (int band)
{
    return (double) (std::pow (1000.0f, ((float) band + 0.5f) * 0.03125f) * 20.0f);
}

std::vector<std::vector<float>> makeSignals (bool worstCase)
{
    std::vector<std::vector<float>> s (4, std::vector<float> (kSignalLength));
    std::mt19937 rng (1234);
    std::uniform_real_distribution<float> noise (-0.3f, 0.3f);
    std::uniform_real_distribution<float> levelDb (-20.0f, 0.0f);

    for (int c = 0; c < 2; ++c)
        for (auto& x : s[(size_t) c])
            x = noise (rng);

    std::vector<float> gains (kBands, 1.0f);
    for (int c = 0; c < 2; ++c)
    {
        for (int i = 0; i < kSignalLength; ++i)
        {
            if (worstCase && i % kHop == 0)
                for (auto& g : gains)
                    g = std::pow (10.0f, levelDb (rng) / 20.0f);

            double sum = 0.0;
            for (int b = 0; b < kBands; ++b)
                sum += gains[(size_t) b] * std::sin (2.0 * std::numbers::pi * std::min (centreHz (b), 0.45 * kRate) * i / kRate + c);
            s[(size_t) (2 + c)][(size_t) i] = (float) (0.03 * sum);
        }
    }
    return s;
}

std::unique_ptr<juce::AudioPluginInstance> loadInstance (int blockSize)
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, ZEL_VST3_PATH);
    if (found.isEmpty())
        return nullptr;

    juce::AudioPluginFormatManager formats;
    formats.addFormat (new juce::VST3PluginFormat());
    juce::String error;
    return formats.createPluginInstance (*found[0], kRate, blockSize, error);
}

void setByName (juce::AudioPluginInstance& plugin, const juce::String& name, float normalised)
{
    for (auto* parameter : plugin.getParameters())
        if (parameter->getName (64) == name)
            parameter->setValueNotifyingHost (normalised);
}

__attribute__ ((noinline)) void measure (benchmark::State& state, juce::AudioPluginInstance& plugin, juce::AudioBuffer<float>& buffer,
                                         const std::vector<std::vector<float>>& signals)
{
    juce::MidiBuffer midi;
    const int blockSize = buffer.getNumSamples();
    int position = 0;
    for (auto _ : state)
    {
        if (position + blockSize > kSignalLength)
            position = 0;
        for (int c = 0; c < 4; ++c)
            std::memcpy (buffer.getWritePointer (c), signals[(size_t) c].data() + position, sizeof (float) * (size_t) blockSize);
        plugin.processBlock (buffer, midi);
        position += blockSize;
        benchmark::ClobberMemory();
    }
}

void hostedBench (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI framework;
    const auto blockSize = (int) state.range (0);
    const bool worstCase = state.range (1) != 0;

    auto plugin = loadInstance (blockSize);
    if (plugin == nullptr)
    {
        state.SkipWithError ("ZEL.vst3 did not load");
        return;
    }

    auto layout = plugin->getBusesLayout();
    layout.inputBuses.getReference (1) = juce::AudioChannelSet::stereo();
    plugin->setBusesLayout (layout);
    plugin->enableAllBuses();
    setByName (*plugin, "Amount", 1.0f);
    setByName (*plugin, "Smooth", 0.3f);
    if (worstCase)
    {
        setByName (*plugin, "Attack", 0.0f);
        setByName (*plugin, "Release", 0.0f);
    }
    plugin->prepareToPlay (kRate, blockSize);

    const auto signals = makeSignals (worstCase);
    juce::AudioBuffer<float> buffer (4, blockSize);
    juce::MidiBuffer midi;
    const auto settle = [&] (double seconds) {
        for (int n = 0, position = 0; n < (int) (seconds * kRate); n += blockSize, position = (position + blockSize) % (kSignalLength - blockSize))
        {
            for (int c = 0; c < 4; ++c)
                std::memcpy (buffer.getWritePointer (c), signals[(size_t) c].data() + position, sizeof (float) * (size_t) blockSize);
            plugin->processBlock (buffer, midi);
        }
    };
    settle (2.0);
    if (! worstCase)
    {
        setByName (*plugin, "Freeze", 1.0f);
        settle (0.5);
    }

    measure (state, *plugin, buffer, signals);
    plugin->releaseResources();

    const auto frames = (double) state.iterations() * blockSize;
    state.counters["ns_per_frame"] = benchmark::Counter (frames * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter (frames / kRate, benchmark::Counter::kIsRate);
    state.SetLabel (worstCase ? "worstCase hosted" : "steady hosted");
}

BENCHMARK (hostedBench)->ArgNames ({ "block", "worst" })->ArgsProduct ({ { 32, 512 }, { 0, 1 } });

} // namespace

BENCHMARK_MAIN();
