// The audio path allocates nothing and takes no locks once prepared, whatever
// the host's block sizes, sample rates and sidechain routing.

#include "plugin/Processor.h"
#include "support/ProcessorAccess.h"
#include "support/AudioThreadGuard.h"

#include <gtest/gtest.h>

namespace vo::test
{
namespace
{
using vo::plugins::zel::Processor;

void setSidechain (Processor& p, bool enabled)
{
    auto layout = p.getBusesLayout();
    layout.inputBuses.getReference (1) = enabled ? juce::AudioChannelSet::stereo() : juce::AudioChannelSet::disabled();
    ASSERT_TRUE (p.setBusesLayout (layout));
}

void fillNoise (juce::AudioBuffer<float>& buffer, juce::Random& random)
{
    for (int c = 0; c < buffer.getNumChannels(); ++c)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (c, i, random.nextFloat() * 2.0f - 1.0f);
}

// Keeps the compiler from eliding the allocation the guard must see.
void* volatile escape = nullptr;
} // namespace

TEST (AudioThread, ProcessBlockNeitherAllocatesNorLocks)
{
    juce::Random random (7);
    for (double sampleRate : { 22050.0, 44100.0, 48000.0, 96000.0, 192000.0 })
    {
        for (bool sidechain : { false, true })
        {
            Processor p;
            setSidechain (p, sidechain);
            setPlain (p, "amount", 100.0f);
            p.prepareToPlay (sampleRate, 4096);

            const int channels = sidechain ? 4 : 2;
            juce::AudioBuffer<float> buffer (channels, 8192);
            juce::MidiBuffer midi;

            for (int blockSize : { 1, 2, 31, 32, 33, 64, 100, 512, 1000, 4096, 8192 })
            {
                fillNoise (buffer, random);
                juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), channels, blockSize);

                // Parameter moves the audio thread must follow without allocating:
                // freeze capture, bypass ramps, mode switches, audition.
                setPlain (p, "freeze", blockSize % 2 == 0 ? 1.0f : 0.0f);
                setPlain (p, "bypass", blockSize == 64 ? 1.0f : 0.0f);
                setPlain (p, "mode", blockSize > 500 ? 1.0f : 0.0f);
                setPlain (p, "scAudition", blockSize == 100 ? 1.0f : 0.0f);

                AudioThreadGuard guard;
                for (int repeat = 0; repeat < 4; ++repeat)
                    p.processBlock (view, midi);
                EXPECT_EQ (guard.allocations(), 0u) << sampleRate << " Hz, block " << blockSize << ", sc " << sidechain;
                EXPECT_EQ (guard.locks(), 0u) << sampleRate << " Hz, block " << blockSize << ", sc " << sidechain;
            }
        }
    }
}

TEST (AudioThread, GuardSeesAllocationsAndLocks)
{
    AudioThreadGuard guard;
    auto block = std::make_unique<std::vector<int>> (100, 1);
    escape = block.get();
    EXPECT_GT (guard.allocations(), 0u);
    if (AudioThreadGuard::countsMallocAndLocks())
    {
        std::mutex m;
        m.lock();
        m.unlock();
        EXPECT_GT (guard.locks(), 0u);
    }
}

} // namespace vo::test
