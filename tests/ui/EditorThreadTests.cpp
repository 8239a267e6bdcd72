// The editor open on the message thread while an audio thread plays through
// the processor (publishing display frames and held curves) and a host thread
// automates: the threads meet only in lock-free hand-overs and the
// parameters' atomics. Run under ThreadSanitizer by scripts/test-tsan.

#include "plugin/Processor.h"
#include "plugin/ui/Editor.h"
#include "plugin/update/PrefsFile.h"

#include "core/MessagePump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

namespace vo::test
{
namespace
{

using plugins::zel::Editor;
using plugins::zel::Processor;

constexpr int kBlock = 256;
constexpr int kRunMs = 1500;

TEST (EditorThreads, TheEditorReadsOnlyHandOversWhileAudioAndAutomationRun)
{
    Processor processor;
    plugins::zel::upd::UpdatePrefs quiet;
    quiet.dontAsk = true;
    plugins::zel::upd::PrefsFile (processor.getUserDataFolder()).write (quiet);

    auto layout = processor.getBusesLayout();
    layout.inputBuses.getReference (1) = juce::AudioChannelSet::stereo();
    ASSERT_TRUE (processor.setBusesLayout (layout));
    processor.prepareToPlay (48000.0, kBlock);
    Editor editor (processor);
    editor.toggleAdvanced();

    std::atomic<bool> running { true };
    std::atomic<int> blocks { 0 };
    std::thread audio ([&] {
        juce::AudioBuffer<float> buffer (4, kBlock);
        juce::MidiBuffer midi;
        for (long sample = 0; running; sample += kBlock)
        {
            for (int c = 0; c < 4; ++c)
                for (int i = 0; i < kBlock; ++i)
                    buffer.setSample (c, i, 0.3f * (float) std::sin (0.013 * (double) (sample + i) * (c + 1)));
            processor.processBlock (buffer, midi);
            ++blocks;
        }
    });
    std::thread host ([&] {
        auto& state = processor.getStateManager();
        const char* automated[] = { "amount", "lowCut", "highCut", "freeze", "mode", "scAudition" };
        for (int step = 0; running; ++step)
        {
            for (const char* id : automated)
                state.param (id).setValueNotifyingHost (0.5f + 0.5f * (float) std::sin (0.07 * step + (double) id[0]));
            std::this_thread::sleep_for (std::chrono::milliseconds (2));
        }
    });

    // The editor's own timers poll the display and refresh lamps and glows.
    core::MessagePump::runFor (kRunMs);
    running = false;
    audio.join();
    host.join();
    core::MessagePump::runFor (50);

    EXPECT_GT (blocks.load(), 10);
    EXPECT_GT (editor.getSpectrum().getFrame().serial, 0) << "frames reached the open editor";
}

} // namespace
} // namespace vo::test
