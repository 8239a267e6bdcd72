// A DAW's view of the shipped bundle: ZEL.vst3 loaded through JUCE's own VST3
// hosting, inspected and driven like a host does (buses, sidechain,
// parameters, automation, state save and restore, odd block sizes).

#include "host/Vst3TestSupport.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <pluginterfaces/base/ipluginbase.h>
#include <pluginterfaces/vst/ivstaudioprocessor.h>
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivsteditcontroller.h>
#include <pluginterfaces/vst/ivstmessage.h>
#include <pluginterfaces/vst/ivstunits.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace vo::test
{
namespace
{
constexpr double kSampleRate = 48000.0;
constexpr int kBlockSize = 512;

std::unique_ptr<juce::PluginDescription> describeBundle()
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, vst3BundlePath());
    if (found.isEmpty())
        return nullptr;
    return std::make_unique<juce::PluginDescription> (*found[0]);
}

std::unique_ptr<juce::AudioPluginInstance> loadInstance()
{
    const auto description = describeBundle();
    if (description == nullptr)
        return nullptr;

    juce::AudioPluginFormatManager formats;
    formats.addFormat (new juce::VST3PluginFormat());
    juce::String error;
    auto instance = formats.createPluginInstance (*description, kSampleRate, kBlockSize, error);
    EXPECT_TRUE (error.isEmpty()) << error;
    return instance;
}

juce::AudioProcessorParameter* findParameter (juce::AudioPluginInstance& plugin, const juce::String& name)
{
    for (auto* p : plugin.getParameters())
        if (p->getName (100) == name)
            return p;
    return nullptr;
}

void fillSignal (juce::AudioBuffer<float>& buffer, int channels, int offset)
{
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (c, i, 0.25f * std::sin (0.01f * (float) (offset + i) * (float) (c + 1)));
}
} // namespace

TEST (HostedVst3, FactoryAndClassInformation)
{
    const auto d = describeBundle();
    ASSERT_NE (d, nullptr) << "cannot scan " << vst3BundlePath();
    EXPECT_EQ (d->name, "ZEL");
    EXPECT_EQ (d->manufacturerName, "velmora");
    EXPECT_EQ (d->category, "Fx|Dynamics");
    EXPECT_EQ (d->version, "1.0.0");
    EXPECT_EQ (d->pluginFormatName, "VST3");
    EXPECT_FALSE (d->isInstrument);
}

TEST (HostedVst3, BusesAndLayouts)
{
    auto plugin = loadInstance();
    ASSERT_NE (plugin, nullptr);
    ASSERT_EQ (plugin->getBusCount (true), 2);
    ASSERT_EQ (plugin->getBusCount (false), 1);
    EXPECT_EQ (plugin->getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (plugin->getBus (true, 1)->getName(), "Sidechain");
    EXPECT_EQ (plugin->getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (plugin->getChannelCountOfBus (true, 0), 2);
    EXPECT_FALSE (plugin->getBus (true, 1)->isEnabled());

    auto layout = plugin->getBusesLayout();
    layout.inputBuses.getReference (0) = juce::AudioChannelSet::mono();
    layout.outputBuses.getReference (0) = juce::AudioChannelSet::mono();
    EXPECT_TRUE (plugin->checkBusesLayoutSupported (layout));
    layout.outputBuses.getReference (0) = juce::AudioChannelSet::stereo();
    EXPECT_FALSE (plugin->checkBusesLayoutSupported (layout));

    EXPECT_TRUE (enableSidechain (*plugin));
    EXPECT_EQ (plugin->getChannelCountOfBus (true, 1), 2);
}

TEST (HostedVst3, ParametersProgramsAndTexts)
{
    auto plugin = loadInstance();
    ASSERT_NE (plugin, nullptr);

    const juce::StringArray expected { "Amount", "Low Cut", "High Cut", "Freeze", "Attack", "Release",
                                       "Mode", "Pan", "SC Audition", "Smooth", "Bypass" };
    const auto& params = plugin->getParameters();
    ASSERT_EQ (params.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ (params[i]->getName (100), expected[i]);
        EXPECT_TRUE (params[i]->isAutomatable());
    }
    ASSERT_NE (plugin->getBypassParameter(), nullptr);
    EXPECT_EQ (plugin->getBypassParameter()->getName (100), "Bypass");


    EXPECT_EQ (findParameter (*plugin, "Low Cut")->getText (0.5f, 100), "632 Hz");
    EXPECT_EQ (findParameter (*plugin, "High Cut")->getText (1.0f, 100), "20.0 kHz");
    EXPECT_EQ (findParameter (*plugin, "Attack")->getText (0.5f, 100), "20 ms");
    EXPECT_EQ (findParameter (*plugin, "Release")->getText (0.5f, 100), "150 ms");
    EXPECT_EQ (findParameter (*plugin, "Amount")->getText (0.3f, 100), "30 %");
    EXPECT_EQ (findParameter (*plugin, "Pan")->getText (0.0f, 100), "-100 %");
    EXPECT_EQ (findParameter (*plugin, "Pan")->getText (0.5f, 100), "0 %");
    EXPECT_EQ (findParameter (*plugin, "Mode")->getText (1.0f, 100), "M/S");
    EXPECT_EQ (plugin->getLatencySamples(), 0);
    EXPECT_EQ (plugin->getTailLengthSeconds(), 0.0);
    EXPECT_TRUE (plugin->hasEditor());
}

TEST (HostedVst3, StateRestoresIntoAFreshInstanceByteForByte)
{
    auto a = loadInstance();
    ASSERT_NE (a, nullptr);
    findParameter (*a, "Amount")->setValueNotifyingHost (0.725f);
    findParameter (*a, "Mode")->setValueNotifyingHost (1.0f);
    findParameter (*a, "Smooth")->setValueNotifyingHost (0.8f);
    juce::MemoryBlock saved;
    a->getStateInformation (saved);
    ASSERT_GT (saved.getSize(), 0u);

    auto b = loadInstance();
    ASSERT_NE (b, nullptr);
    b->setStateInformation (saved.getData(), (int) saved.getSize());
    EXPECT_NEAR (findParameter (*b, "Amount")->getValue(), 0.725f, 1e-4f);
    EXPECT_EQ (findParameter (*b, "Mode")->getValue(), 1.0f);
    EXPECT_NEAR (findParameter (*b, "Smooth")->getValue(), 0.8f, 1e-4f);

    juce::MemoryBlock again;
    b->getStateInformation (again);
    EXPECT_EQ (again, saved);

    // Garbage from a broken project file changes nothing.
    const char junk[] = "definitely not a plug-in state";
    b->setStateInformation (junk, (int) sizeof (junk));
    EXPECT_NEAR (findParameter (*b, "Amount")->getValue(), 0.725f, 1e-4f);
}

TEST (HostedVst3, ProcessesOddBlockSizesWithSidechainAndAutomation)
{
    auto plugin = loadInstance();
    ASSERT_NE (plugin, nullptr);
    ASSERT_TRUE (enableSidechain (*plugin));
    plugin->prepareToPlay (kSampleRate, kBlockSize);

    // Blocks up to the announced maximum, as the VST3 contract allows. (Longer
    // blocks are split by the processor frame, but the framework's VST3 wrapper
    // copies into scratch buffers sized for the announced maximum first.)
    juce::MidiBuffer midi;
    int offset = 0;
    for (int blockSize : { 1, 1, 7, 512, 333, 1, 64 })
    {
        juce::AudioBuffer<float> buffer (4, blockSize);
        fillSignal (buffer, 4, offset);
        offset += blockSize;
        plugin->processBlock (buffer, midi);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < blockSize; ++i)
                ASSERT_TRUE (std::isfinite (buffer.getSample (c, i)));
    }

    // With amount at 0 the engine leaves the track as it is.
    juce::AudioBuffer<float> buffer (4, 256);
    fillSignal (buffer, 4, offset);
    juce::AudioBuffer<float> input (buffer);
    plugin->processBlock (buffer, midi);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 256; ++i)
            EXPECT_FLOAT_EQ (buffer.getSample (c, i), input.getSample (c, i));

    // Automation from the host thread reaches the plug-in.
    findParameter (*plugin, "Bypass")->setValueNotifyingHost (1.0f);
    for (int i = 0; i < 10; ++i)
    {
        fillSignal (buffer, 4, offset);
        plugin->processBlock (buffer, midi);
    }
    EXPECT_EQ (findParameter (*plugin, "Bypass")->getValue(), 1.0f);
    plugin->releaseResources();
}

// Programs as a DAW reads them: the edit controller's unit info, reached
// through the bare VST3 interfaces with the controller connected to the component.
TEST (HostedVst3, ProgramListHasOneNamedProgram)
{
    using namespace Steinberg;
    const auto modulePath = vst3BundlePath() + "/Contents/x86_64-linux/ZEL.so";
    void* module = dlopen (modulePath.toRawUTF8(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE (module, nullptr) << dlerror();

    using ModuleEntry = bool (*) (void*);
    using GetFactory = IPluginFactory* (*) ();
    auto entry = reinterpret_cast<ModuleEntry> (dlsym (module, "ModuleEntry"));
    auto getFactory = reinterpret_cast<GetFactory> (dlsym (module, "GetPluginFactory"));
    ASSERT_NE (entry, nullptr);
    ASSERT_NE (getFactory, nullptr);
    ASSERT_TRUE (entry (module));

    IPluginFactory* factory = getFactory();
    ASSERT_NE (factory, nullptr);

    PFactoryInfo factoryInfo;
    ASSERT_EQ (factory->getFactoryInfo (&factoryInfo), kResultOk);
    EXPECT_STREQ (factoryInfo.vendor, "velmora");

    TUID componentId {}, controllerId {};
    bool haveComponent = false, haveController = false;
    for (int32 i = 0; i < factory->countClasses(); ++i)
    {
        PClassInfo info;
        ASSERT_EQ (factory->getClassInfo (i, &info), kResultOk);
        if (std::strcmp (info.category, kVstAudioEffectClass) == 0)
        {
            std::memcpy (componentId, info.cid, sizeof (TUID));
            haveComponent = true;
        }
        if (std::strcmp (info.category, kVstComponentControllerClass) == 0)
        {
            std::memcpy (controllerId, info.cid, sizeof (TUID));
            haveController = true;
        }
    }
    ASSERT_TRUE (haveComponent && haveController);

    Vst::IComponent* component = nullptr;
    Vst::IEditController* controller = nullptr;
    ASSERT_EQ (factory->createInstance (componentId, Vst::IComponent::iid, reinterpret_cast<void**> (&component)), kResultOk);
    ASSERT_EQ (factory->createInstance (controllerId, Vst::IEditController::iid, reinterpret_cast<void**> (&controller)), kResultOk);
    ASSERT_EQ (component->initialize (nullptr), kResultOk);
    ASSERT_EQ (controller->initialize (nullptr), kResultOk);

    Vst::IConnectionPoint* componentPoint = nullptr;
    Vst::IConnectionPoint* controllerPoint = nullptr;
    ASSERT_EQ (component->queryInterface (Vst::IConnectionPoint::iid, reinterpret_cast<void**> (&componentPoint)), kResultOk);
    ASSERT_EQ (controller->queryInterface (Vst::IConnectionPoint::iid, reinterpret_cast<void**> (&controllerPoint)), kResultOk);
    controllerPoint->connect (componentPoint);
    componentPoint->connect (controllerPoint);

    EXPECT_EQ (controller->getParameterCount(), 11);

    Vst::IUnitInfo* units = nullptr;
    ASSERT_EQ (controller->queryInterface (Vst::IUnitInfo::iid, reinterpret_cast<void**> (&units)), kResultOk);
    ASSERT_EQ (units->getProgramListCount(), 1);
    Vst::ProgramListInfo listInfo {};
    ASSERT_EQ (units->getProgramListInfo (0, listInfo), kResultOk);
    EXPECT_EQ (listInfo.programCount, 1);
    Vst::String128 name {};
    ASSERT_EQ (units->getProgramName (listInfo.id, 0, name), kResultOk);
    EXPECT_EQ (juce::String (juce::CharPointer_UTF16 (reinterpret_cast<const juce::CharPointer_UTF16::CharType*> (name))), "Default");

    units->release();
    componentPoint->disconnect (controllerPoint);
    controllerPoint->disconnect (componentPoint);
    componentPoint->release();
    controllerPoint->release();
    controller->terminate();
    component->terminate();
    controller->release();
    component->release();
    factory->release();

    using ModuleExit = bool (*)();
    if (auto exitModule = reinterpret_cast<ModuleExit> (dlsym (module, "ModuleExit")))
        exitModule();
    dlclose (module);
}

namespace
{
// Main: noise. Sidechain: a low tone when `withTone`, else silence.
void runHosted (juce::AudioPluginInstance& plugin, int blocks, bool withTone, juce::Random& random,
                std::vector<float>* output = nullptr)
{
    juce::AudioBuffer<float> buffer (4, kBlockSize);
    juce::MidiBuffer midi;
    for (int b = 0; b < blocks; ++b)
    {
        for (int i = 0; i < kBlockSize; ++i)
        {
            const float tone = withTone ? 0.9f * std::sin (2.0f * juce::MathConstants<float>::pi * 110.0f * (float) (b * kBlockSize + i) / (float) kSampleRate) : 0.0f;
            buffer.setSample (0, i, 0.2f * (random.nextFloat() - 0.5f));
            buffer.setSample (1, i, 0.2f * (random.nextFloat() - 0.5f));
            buffer.setSample (2, i, tone);
            buffer.setSample (3, i, tone);
        }
        plugin.processBlock (buffer, midi);
        if (output != nullptr)
            output->insert (output->end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + kBlockSize);
    }
}

void pumpMessages()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (200);
}

// The plug-in writes a captured freeze curve into its state from its message
// thread, a poll and an async update after the audio thread captured it: on
// a loaded machine that takes longer than one round of messages. Waits (up to
// ten seconds) for a state that carries the curve, and returns it.
bool saveWithFreezeCurve (juce::AudioPluginInstance& plugin, juce::MemoryBlock& saved)
{
    const juce::String type ("ZELFREEZE");
    for (int round = 0; round < 50; ++round)
    {
        pumpMessages();
        plugin.getStateInformation (saved);

        // The host keeps the component's own state as base64 text in its XML.
        const auto xml = juce::AudioProcessor::getXmlFromBinary (saved.getData(), (int) saved.getSize());
        const auto* component = xml != nullptr ? xml->getChildByName ("IComponent") : nullptr;
        juce::MemoryBlock state;
        if (component == nullptr || ! state.fromBase64Encoding (component->getAllSubText()))
            continue;

        const auto* begin = static_cast<const char*> (state.getData());
        const auto* end = begin + state.getSize();
        if (std::search (begin, end, type.toRawUTF8(), type.toRawUTF8() + type.length()) != end)
            return true;
    }
    return false;
}
} // namespace

TEST (HostedVst3, FrozenCutSurvivesSaveAndRestore)
{
    juce::Random random (21);
    auto a = loadInstance();
    ASSERT_NE (a, nullptr);
    ASSERT_TRUE (enableSidechain (*a));
    a->prepareToPlay (kSampleRate, kBlockSize);
    findParameter (*a, "Amount")->setValueNotifyingHost (1.0f);
    runHosted (*a, 200, true, random);
    findParameter (*a, "Freeze")->setValueNotifyingHost (1.0f);
    runHosted (*a, 2, true, random);
    juce::MemoryBlock saved;
    ASSERT_TRUE (saveWithFreezeCurve (*a, saved));

    auto b = loadInstance();
    ASSERT_NE (b, nullptr);
    ASSERT_TRUE (enableSidechain (*b));
    b->prepareToPlay (kSampleRate, kBlockSize);
    b->setStateInformation (saved.getData(), (int) saved.getSize());
    pumpMessages();
    EXPECT_EQ (findParameter (*b, "Freeze")->getValue(), 1.0f);

    // Same track through both, sidechain silent: both hold the same cut.
    std::vector<float> outA, outB;
    juce::Random sameA (99), sameB (99);
    runHosted (*a, 100, false, sameA, &outA);
    runHosted (*b, 100, false, sameB, &outB);

    double diff = 0.0;
    for (size_t i = outA.size() / 2; i < outA.size(); ++i)
        diff = std::max (diff, (double) std::abs (outA[i] - outB[i]));
    EXPECT_LT (diff, 2e-3);

    // And it is a real cut: a never-frozen instance passes the same track unchanged.
    auto c = loadInstance();
    ASSERT_NE (c, nullptr);
    ASSERT_TRUE (enableSidechain (*c));
    c->prepareToPlay (kSampleRate, kBlockSize);
    findParameter (*c, "Amount")->setValueNotifyingHost (1.0f);
    std::vector<float> outC;
    juce::Random sameC (99);
    runHosted (*c, 100, false, sameC, &outC);
    double differsFromDry = 0.0;
    for (size_t i = outC.size() / 2; i < outC.size(); ++i)
        differsFromDry = std::max (differsFromDry, (double) std::abs (outA[i] - outC[i]));
    EXPECT_GT (differsFromDry, 1e-2);
}

} // namespace vo::test
