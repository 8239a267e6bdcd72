// The per-block frame every product inherits: sub-block splitting, sidechain
// views, unprepared pass-through, heartbeat, layouts, program stubs.

#include "core/ProcessorBase.h"
#include "diagnostics/DiagLog.h"
#include "plugin/Processor.h"

#include <gtest/gtest.h>

#include <vector>

namespace vo::test
{
namespace
{
using vo::core::ProcessorBase;
using vo::core::ProcessorConfig;

struct Call
{
    int numSamples;
    int mainChannels;
    int sidechainChannels;
    float firstMain;
    float firstSidechain;
};

// Records what the frame hands to the effect.
class ProbeProcessor : public ProcessorBase
{
public:
    explicit ProbeProcessor (bool sidechain = true)
        : ProcessorBase (makeConfig (sidechain), {}, {})
    {
    }

    static ProcessorConfig makeConfig (bool sidechain)
    {
        ProcessorConfig c;
        c.name = "Probe";
        c.version = "0.1";
        c.sidechain = sidechain;
        c.vendor = "velmora";
        return c;
    }

    void prepareProcessing (double, int newBlockSize) override { preparedWith = newBlockSize; }

    void processAudio (juce::AudioBuffer<float>& main, juce::AudioBuffer<float>& sidechain) override
    {
        calls.push_back ({ main.getNumSamples(), main.getNumChannels(), sidechain.getNumChannels(),
                           main.getSample (0, 0),
                           sidechain.getNumChannels() > 0 ? sidechain.getSample (0, 0) : -1.0f });
    }

    void processAudio (juce::AudioBuffer<float>& main) override
    {
        calls.push_back ({ main.getNumSamples(), main.getNumChannels(), -1, main.getSample (0, 0), -1.0f });
    }

    juce::AudioProcessorEditor* createEditor() override { return nullptr; }

    int preparedWith = -1;
    std::vector<Call> calls;
};

// Channel c, sample i holds 1000*c + i, so every view can be traced back.
juce::AudioBuffer<float> rampBuffer (int channels, int samples)
{
    juce::AudioBuffer<float> buffer (channels, samples);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < samples; ++i)
            buffer.setSample (c, i, (float) (1000 * c + i));
    return buffer;
}

void enableSidechain (ProcessorBase& p, const juce::AudioChannelSet& set)
{
    auto layout = p.getBusesLayout();
    layout.inputBuses.getReference (1) = set;
    ASSERT_TRUE (p.setBusesLayout (layout));
}
} // namespace

TEST (ProcessorFrame, LongHostBlocksAreSplitWithMatchingSidechainRanges)
{
    ProbeProcessor p;
    enableSidechain (p, juce::AudioChannelSet::stereo());
    p.prepareToPlay (48000.0, 512);

    auto buffer = rampBuffer (4, 1000); // main L R, sidechain L R
    juce::MidiBuffer midi;
    p.processBlock (buffer, midi);

    ASSERT_EQ (p.calls.size(), 2u);
    EXPECT_EQ (p.calls[0].numSamples, 512);
    EXPECT_EQ (p.calls[1].numSamples, 488);
    EXPECT_EQ (p.calls[0].mainChannels, 2);
    EXPECT_EQ (p.calls[0].sidechainChannels, 2);
    EXPECT_EQ (p.calls[0].firstMain, 0.0f);
    EXPECT_EQ (p.calls[1].firstMain, 512.0f);
    EXPECT_EQ (p.calls[0].firstSidechain, 2000.0f);
    EXPECT_EQ (p.calls[1].firstSidechain, 2512.0f);
}

TEST (ProcessorFrame, TinyPreparedBlockSizeBecomesOneSampleCalls)
{
    for (int announced : { 0, 1 })
    {
        ProbeProcessor p;
        p.prepareToPlay (44100.0, announced);
        EXPECT_EQ (p.getMaxBlockSize(), 1);
        EXPECT_EQ (p.preparedWith, 1);

        auto buffer = rampBuffer (2, 5);
        juce::MidiBuffer midi;
        p.processBlock (buffer, midi);
        ASSERT_EQ (p.calls.size(), 5u);
        for (size_t i = 0; i < 5; ++i)
        {
            EXPECT_EQ (p.calls[i].numSamples, 1);
            EXPECT_EQ (p.calls[i].firstMain, (float) i);
        }
    }
}

TEST (ProcessorFrame, DisabledSidechainGivesZeroChannelSidechain)
{
    ProbeProcessor p;
    p.prepareToPlay (48000.0, 256);
    auto buffer = rampBuffer (2, 100);
    juce::MidiBuffer midi;
    p.processBlock (buffer, midi);
    ASSERT_EQ (p.calls.size(), 1u);
    EXPECT_EQ (p.calls[0].sidechainChannels, 0);
    EXPECT_EQ (p.calls[0].mainChannels, 2);
}

TEST (ProcessorFrame, WithoutSidechainConfigShortBlocksGoThroughWhole)
{
    ProbeProcessor p (false);
    p.prepareToPlay (48000.0, 64);
    juce::MidiBuffer midi;

    auto shortBlock = rampBuffer (2, 64);
    p.processBlock (shortBlock, midi);
    auto longBlock = rampBuffer (2, 150);
    p.processBlock (longBlock, midi);

    ASSERT_EQ (p.calls.size(), 4u);
    EXPECT_EQ (p.calls[0].numSamples, 64);
    EXPECT_EQ (p.calls[0].sidechainChannels, -1);
    EXPECT_EQ (p.calls[1].numSamples, 64);
    EXPECT_EQ (p.calls[2].numSamples, 64);
    EXPECT_EQ (p.calls[3].numSamples, 22);
    EXPECT_EQ (p.calls[3].firstMain, 128.0f);
}

TEST (ProcessorFrame, UnpreparedBlocksPassThroughButBeatTheHeart)
{
    auto& log = vo::diagnostics::DiagLog::instance();
    ProbeProcessor p;
    auto buffer = rampBuffer (2, 64);
    const auto before = rampBuffer (2, 64);
    juce::MidiBuffer midi;

    log.lastAudioHeartbeat = 0;
    p.processBlock (buffer, midi);
    EXPECT_TRUE (p.calls.empty());
    EXPECT_GT (log.lastAudioHeartbeat.load(), 0u);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ (buffer.getSample (c, i), before.getSample (c, i));

    p.prepareToPlay (48000.0, 64);
    p.releaseResources();
    log.lastAudioHeartbeat = 0;
    p.processBlock (buffer, midi);
    EXPECT_TRUE (p.calls.empty());
    EXPECT_GT (log.lastAudioHeartbeat.load(), 0u);
}

TEST (ProcessorFrame, EmptyBuffersAreIgnored)
{
    ProbeProcessor p;
    p.prepareToPlay (48000.0, 64);
    juce::MidiBuffer midi;
    juce::AudioBuffer<float> noSamples (2, 0);
    p.processBlock (noSamples, midi);
    juce::AudioBuffer<float> noChannels (0, 64);
    p.processBlock (noChannels, midi);
    EXPECT_TRUE (p.calls.empty());
}

TEST (ProcessorFrame, LayoutAcceptanceFollowsTheRules)
{
    ProbeProcessor p;
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();
    const auto disabled = juce::AudioChannelSet::disabled();

    auto layout = [&] (juce::AudioChannelSet in, juce::AudioChannelSet out, juce::AudioChannelSet sc) {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (in);
        l.inputBuses.add (sc);
        l.outputBuses.add (out);
        return l;
    };

    EXPECT_TRUE (p.checkBusesLayoutSupported (layout (mono, mono, disabled)));
    EXPECT_TRUE (p.checkBusesLayoutSupported (layout (stereo, stereo, disabled)));
    EXPECT_TRUE (p.checkBusesLayoutSupported (layout (stereo, stereo, mono)));
    EXPECT_TRUE (p.checkBusesLayoutSupported (layout (mono, mono, stereo)));
    EXPECT_FALSE (p.checkBusesLayoutSupported (layout (stereo, mono, disabled)));
    EXPECT_FALSE (p.checkBusesLayoutSupported (layout (stereo, stereo, juce::AudioChannelSet::create5point1())));
    EXPECT_FALSE (p.checkBusesLayoutSupported (layout (disabled, disabled, disabled)));
    EXPECT_FALSE (p.checkBusesLayoutSupported (
        layout (juce::AudioChannelSet::createLCR(), juce::AudioChannelSet::createLCR(), disabled)));
}

TEST (ProcessorFrame, HostFacingConstants)
{
    vo::plugins::zel::Processor p;
    EXPECT_EQ (p.getName(), "ZEL");
    EXPECT_EQ (p.getTailLengthSeconds(), 0.0);
    EXPECT_FALSE (p.acceptsMidi());
    EXPECT_FALSE (p.producesMidi());
    EXPECT_FALSE (p.isMidiEffect());
    EXPECT_FALSE (p.supportsDoublePrecisionProcessing());
    EXPECT_TRUE (p.hasEditor());
    EXPECT_EQ (p.getNumPrograms(), 1);
    EXPECT_EQ (p.getCurrentProgram(), 0);
    EXPECT_EQ (p.getProgramName (0), "Default");
    p.setCurrentProgram (3);
    p.changeProgramName (0, "Renamed");
    EXPECT_EQ (p.getCurrentProgram(), 0);
    EXPECT_EQ (p.getProgramName (0), "Default");

    ASSERT_EQ (p.getBusCount (true), 2);
    EXPECT_EQ (p.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (p.getBus (true, 1)->getName(), "Sidechain");
    EXPECT_FALSE (p.getBus (true, 1)->isEnabledByDefault());
    EXPECT_EQ (p.getBus (false, 0)->getName(), "Output");

    const auto& params = p.getParameters();
    ASSERT_EQ (params.size(), 11);
    auto* last = dynamic_cast<juce::RangedAudioParameter*> (params.getLast());
    ASSERT_NE (last, nullptr);
    EXPECT_EQ (last->getParameterID(), "bypass");
    EXPECT_EQ (p.getBypassParameter(), last);

    const auto folder = p.getUserDataFolder();
    EXPECT_EQ (folder.getFileName(), "ZEL");
    EXPECT_EQ (folder.getParentDirectory().getFileName(), "velmora");
    EXPECT_FALSE (folder.exists());
}

} // namespace vo::test
