// The hand-over between threads, as a host exercises it: the audio thread
// processes without pause while the message thread restores states and loads
// presets carrying frozen curves, parameters are set from several threads, and
// the display and the held cut are read. Run it under ThreadSanitizer too.

#include "core/MessagePump.h"
#include "plugin/CurveText.h"
#include "plugin/Processor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace vo::test
{
namespace
{
using vo::plugins::zel::CurveText;
using vo::plugins::zel::Processor;
using Curve = std::array<float, vo::plugins::zel::kBandCount>;

juce::MemoryBlock frozenStateWith (float depth)
{
    Processor source;
    auto& freeze = source.getStateManager().param ("freeze");
    freeze.setValueNotifyingHost (1.0f);
    Curve curve;
    curve.fill (0.0f);
    for (size_t b = 8; b < 16; ++b)
        curve[b] = depth;
    source.getStateManager().getValueTreeState().state.getOrCreateChildWithName ("ZELFREEZE", nullptr)
        .setProperty ("curve", CurveText::encode (curve), nullptr);
    juce::MemoryBlock block;
    source.getStateInformation (block);
    return block;
}
} // namespace

TEST (Concurrency, StatesPresetsAndParametersWhileAudioRuns)
{
    Processor p;
    auto layout = p.getBusesLayout();
    layout.inputBuses.getReference (1) = juce::AudioChannelSet::stereo();
    ASSERT_TRUE (p.setBusesLayout (layout));
    p.prepareToPlay (48000.0, 256);

    const auto shallow = frozenStateWith (-6.0f);
    const auto deep = frozenStateWith (-24.0f);

    std::atomic<bool> running { true };
    std::thread audio ([&] {
        juce::AudioBuffer<float> buffer (4, 256);
        juce::MidiBuffer midi;
        juce::Random random (1);
        while (running.load())
        {
            for (int c = 0; c < 4; ++c)
                for (int i = 0; i < 256; ++i)
                    buffer.setSample (c, i, 0.2f * (random.nextFloat() - 0.5f));
            p.processBlock (buffer, midi);
        }
    });

    std::thread automation ([&] {
        juce::Random random (2);
        auto& amount = p.getStateManager().param ("amount");
        auto& smooth = p.getStateManager().param ("smooth");
        while (running.load())
        {
            amount.setValueNotifyingHost (random.nextFloat());
            smooth.setValueNotifyingHost (random.nextFloat());
            std::this_thread::yield();
        }
    });

    std::thread display ([&] {
        vo::plugins::zel::DisplayFrame frame;
        while (running.load())
        {
            p.getEngine().readDisplayFrame (frame);
            for (const float v : frame.cut)
                ASSERT_TRUE (v <= 0.0f && v >= -30.0f);
        }
    });

    for (int round = 0; round < 30; ++round)
    {
        const auto& state = round % 2 == 0 ? shallow : deep;
        p.setStateInformation (state.getData(), (int) state.getSize());
        vo::core::MessagePump::runFor (10);

        // The editor reads the held cut while the audio thread installs or
        // captures one: it gets a whole curve, never memory being written.
        for (const float v : p.getHeldCurve())
            ASSERT_TRUE (v <= 0.0f && v >= -30.0f);
        if (round % 5 == 0)
        {
            p.getPresetManager().loadPreset ("Default");
            vo::core::MessagePump::runFor (10);
        }
    }

    // Settle on the deep curve and let the audio thread pick it up.
    p.setStateInformation (deep.getData(), (int) deep.getSize());
    vo::core::MessagePump::runFor (200);

    running.store (false);
    audio.join();
    automation.join();
    display.join();

    EXPECT_TRUE (p.hasHeldCurve());
    for (size_t b = 8; b < 16; ++b)
        EXPECT_NEAR (p.getHeldCurve()[b], -24.0f, 0.01f) << b;
    EXPECT_NEAR (p.getHeldCurve()[0], 0.0f, 0.01f);
}

} // namespace vo::test
