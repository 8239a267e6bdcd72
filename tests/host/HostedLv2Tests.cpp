// A DAW's view of the LV2 bundle: ZEL.lv2 loaded through JUCE's own LV2
// hosting, the code JUCE-based hosts load it with, and driven as they drive
// it. That host connects the ports of a disabled bus to NULL, which the
// bundle's description allows for the sidechain.

#include "host/Lv2TestSupport.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace vo::test
{
namespace
{
constexpr int kBlockSize = 512;
constexpr float kTrackLevel = 0.1f;
constexpr float kSidechainLevel = 0.5f;

// The host's format object holds the LV2 world that found the bundle; it
// outlives the instance.
struct HostedZel
{
    HostedZel()
    {
        format.searchPathsForPlugins (juce::FileSearchPath (juce::String (bundleFolder())), false, false);
        juce::OwnedArray<juce::PluginDescription> found;
        format.findAllTypesForFile (found, ZEL_LV2_URI);
        if (found.isEmpty())
            return;

        description = *found[0];
        juce::String error;
        plugin = format.createInstanceFromDescription (description, kSampleRate, kBlockSize, error);
        EXPECT_TRUE (error.isEmpty()) << error;
    }

    juce::LV2PluginFormat format;
    juce::PluginDescription description;
    std::unique_ptr<juce::AudioPluginInstance> plugin;
};

juce::AudioProcessorParameter* findParameter (juce::AudioPluginInstance& plugin, const juce::String& name)
{
    for (auto* p : plugin.getParameters())
        if (p->getName (100) == name)
            return p;
    return nullptr;
}

bool enableSidechain (juce::AudioPluginInstance& plugin)
{
    auto layout = plugin.getBusesLayout();
    if (layout.inputBuses.size() < 2)
        return false;
    layout.inputBuses.getReference (1) = juce::AudioChannelSet::stereo();
    return plugin.setBusesLayout (layout);
}

// Plays tones into the track (and, with the sidechain bus on, a loud tone in
// the carved band into the sidechain); returns the left output.
std::vector<float> render (juce::AudioPluginInstance& plugin, const std::vector<double>& trackTones, int samples)
{
    const int inputs = plugin.getTotalNumInputChannels();
    juce::AudioBuffer<float> buffer (std::max (inputs, plugin.getTotalNumOutputChannels()), kBlockSize);
    juce::MidiBuffer midi;
    std::vector<float> output;
    for (long pos = 0; pos < samples; pos += kBlockSize)
    {
        buffer.clear();
        for (int i = 0; i < kBlockSize; ++i)
        {
            float track = 0.0f;
            for (const double hz : trackTones)
                track += tone (hz, kTrackLevel, pos + i);
            buffer.setSample (0, i, track);
            buffer.setSample (1, i, track);
            for (int c = 2; c < inputs; ++c)
                buffer.setSample (c, i, tone (bandCentreHz (kCarvedBand), kSidechainLevel, pos + i));
        }
        plugin.processBlock (buffer, midi);
        output.insert (output.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + kBlockSize);
    }
    return output;
}

double changeDb (const std::vector<float>& output, int band)
{
    return toneLevelDb (output, bandCentreHz (band)) - 20.0 * std::log10 ((double) kTrackLevel);
}

void carveFully (juce::AudioPluginInstance& plugin)
{
    auto* amount = findParameter (plugin, "Amount");
    ASSERT_NE (amount, nullptr);
    amount->setValueNotifyingHost (1.0f);
}
} // namespace

// Like every scenario here it runs in a child: the framework's host and the
// unloaded bundle keep process-lifetime allocations that a leak check at
// exit would misread.
TEST (HostedLv2, TheHostSeesTheBundleAsDescribed)
{
    runInChild ([] {
        HostedZel host;
        ASSERT_NE (host.plugin, nullptr) << "no " << ZEL_LV2_URI << " in " << bundleFolder();
        EXPECT_EQ (host.description.name, "ZEL");
        EXPECT_EQ (host.description.manufacturerName, "velmora");
        EXPECT_EQ (host.description.pluginFormatName, "LV2");

        auto& plugin = *host.plugin;
        ASSERT_EQ (plugin.getBusCount (true), 2);
        ASSERT_EQ (plugin.getBusCount (false), 1);
        EXPECT_EQ (plugin.getChannelCountOfBus (true, 0), 2);
        EXPECT_EQ (plugin.getChannelCountOfBus (false, 0), 2);
        EXPECT_FALSE (plugin.getBus (true, 1)->isEnabled()) << "the sidechain is optional";
        EXPECT_TRUE (enableSidechain (plugin));

        for (const auto* name : { "Amount", "Low Cut", "High Cut", "Freeze", "Attack", "Release", "Mode", "Pan", "SC Audition", "Smooth" })
            EXPECT_NE (findParameter (plugin, name), nullptr) << name;
    });
}

// The host enables the sidechain bus and feeds it: the sidechain is heard.
TEST (HostedLv2, FedSidechainCarvesItsLoudestBandOutOfTheTrack)
{
    runInChild ([] {
        HostedZel host;
        ASSERT_NE (host.plugin, nullptr);
        ASSERT_TRUE (enableSidechain (*host.plugin));
        host.plugin->prepareToPlay (kSampleRate, kBlockSize);
        carveFully (*host.plugin);

        const auto output = render (*host.plugin, { bandCentreHz (kCarvedBand), bandCentreHz (kOtherBand) }, kSettleSamples + kMeasureSamples);
        EXPECT_NEAR (changeDb (output, kCarvedBand), kFullCutDb, kCutToleranceDb);
        EXPECT_NEAR (changeDb (output, kOtherBand), 0.0, kUntouchedToleranceDb) << "the track's own band is not the loudest sidechain band";
        host.plugin->releaseResources();
    });
}

// With the sidechain bus off this host leaves the sidechain ports unconnected,
// which crashed the framework's wrapper before our entry points guarded them.
TEST (HostedLv2, WithoutTheSidechainBusItListensToTheTrack)
{
    runInChild ([] {
        HostedZel host;
        ASSERT_NE (host.plugin, nullptr);
        ASSERT_EQ (host.plugin->getTotalNumInputChannels(), 2);
        host.plugin->prepareToPlay (kSampleRate, kBlockSize);
        carveFully (*host.plugin);

        const auto output = render (*host.plugin, { bandCentreHz (kCarvedBand) }, kSettleSamples + kMeasureSamples);
        EXPECT_NEAR (changeDb (output, kCarvedBand), kFullCutDb, kCutToleranceDb);
        host.plugin->releaseResources();
    });
}

TEST (HostedLv2, ParametersAndStateSurviveSaveAndRestore)
{
    runInChild ([] {
        HostedZel a;
        ASSERT_NE (a.plugin, nullptr);
        a.plugin->prepareToPlay (kSampleRate, kBlockSize);
        findParameter (*a.plugin, "Amount")->setValueNotifyingHost (0.725f);
        findParameter (*a.plugin, "Mode")->setValueNotifyingHost (1.0f);
        findParameter (*a.plugin, "Smooth")->setValueNotifyingHost (0.8f);
        render (*a.plugin, {}, kBlockSize); // the host hands parameter changes over with a block

        juce::MemoryBlock saved;
        a.plugin->getStateInformation (saved);
        ASSERT_GT (saved.getSize(), 0u);

        HostedZel b;
        ASSERT_NE (b.plugin, nullptr);
        b.plugin->prepareToPlay (kSampleRate, kBlockSize);
        b.plugin->setStateInformation (saved.getData(), (int) saved.getSize());
        render (*b.plugin, {}, kBlockSize); // and hears the restored values back with one
        juce::MessageManager::getInstance()->runDispatchLoopUntil (100);

        EXPECT_NEAR (findParameter (*b.plugin, "Amount")->getValue(), 0.725f, 1e-3f);
        EXPECT_EQ (findParameter (*b.plugin, "Mode")->getValue(), 1.0f);
        EXPECT_NEAR (findParameter (*b.plugin, "Smooth")->getValue(), 0.8f, 1e-3f);
    });
}

} // namespace vo::test
