#include "ProcessorBase.h"

#include "diagnostics/DiagLog.h"
#include "platform/Platform.h"

namespace vo::core
{

using diagnostics::DiagLog;

namespace
{
    constexpr int kDefaultMaxBlockSize = 512;
    constexpr const char* kBypassId = "bypass";

    // A referring view over some channels' sample range; the framework keeps up
    // to 32 channel pointers inline, so this never allocates.
    juce::AudioBuffer<float> viewOf (juce::AudioBuffer<float>& source, int start, int length)
    {
        return { source.getArrayOfWritePointers(), source.getNumChannels(), start, length };
    }
}

ProcessorBase::BusesProperties ProcessorBase::makeBuses (const ProcessorConfig& config)
{
    auto buses = BusesProperties()
                     .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                     .withOutput ("Output", juce::AudioChannelSet::stereo(), true);
    if (config.sidechain)
        buses = buses.withInput ("Sidechain", juce::AudioChannelSet::stereo(), false);
    return buses;
}

juce::AudioProcessorValueTreeState::ParameterLayout ProcessorBase::withBypass (
    juce::AudioProcessorValueTreeState::ParameterLayout layout)
{
    layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { kBypassId, 1 }, "Bypass", false));
    return layout;
}

ProcessorBase::ProcessorBase (ProcessorConfig configToUse,
                              juce::AudioProcessorValueTreeState::ParameterLayout layout,
                              std::vector<FactoryPreset> factoryPresets)
    : juce::AudioProcessor (makeBuses (configToUse)),
      config (std::move (configToUse)),
      stateManager (*this, config.stateVersion, withBypass (std::move (layout))),
      presetManager (stateManager.getValueTreeState(), config.name, std::move (factoryPresets), config.vendor)
{
    bypassParameter = dynamic_cast<juce::AudioParameterBool*> (stateManager.getValueTreeState().getParameter (kBypassId));
    prepared = false;
    maxBlockSize = kDefaultMaxBlockSize;

    auto& log = DiagLog::instance();
    log.setup (config.vendor.toStdString(), config.name.toStdString(), platform::diagnosticsDataFolder());
    log.processorCreated();
    log.log ("processor CTOR %s v%s", config.name.toRawUTF8(), config.version.toRawUTF8());
}

ProcessorBase::~ProcessorBase()
{
    auto& log = DiagLog::instance();
    log.log ("processor DTOR %s", config.name.toRawUTF8());
    log.processorDestroyed();
    typefaceKeepAlive.reset();
}

void ProcessorBase::processAudio (juce::AudioBuffer<float>& main, juce::AudioBuffer<float>&)
{
    processAudio (main);
}

void ProcessorBase::processMidi (juce::MidiBuffer&, int, int)
{
}

void ProcessorBase::releaseProcessing()
{
}

const juce::String ProcessorBase::getName() const
{
    return config.name;
}

void ProcessorBase::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    DiagLog::instance().log ("prepareToPlay sr=%.0f block=%d", sampleRate, samplesPerBlock);
    maxBlockSize = samplesPerBlock < 2 ? 1 : samplesPerBlock;
    prepareProcessing (sampleRate, maxBlockSize);
    prepared = true;
}

void ProcessorBase::releaseResources()
{
    prepared = false;
    releaseProcessing();
}

void ProcessorBase::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    juce::ScopedNoDenormals noDenormals;
    DiagLog::instance().lastAudioHeartbeat.store (platform::tickCountMs(), std::memory_order_relaxed);

    if (! prepared || buffer.getNumChannels() == 0 || buffer.getNumSamples() == 0)
        return;

    if (config.sidechain)
    {
        auto main = busView (buffer, false, 0);
        if (main.getNumChannels() == 0)
            return;

        auto sidechain = busView (buffer, true, 1);
        processInSubBlocks (main, &sidechain, midi);
        return;
    }

    if (buffer.getNumSamples() <= maxBlockSize)
    {
        if (config.wantsMidi)
            processMidi (midi, 0, buffer.getNumSamples());
        processAudio (buffer);
        return;
    }

    processInSubBlocks (buffer, nullptr, midi);
}

// Like getBusBuffer, but never reaches past the channels the host really
// passed, whatever the announced layout says.
juce::AudioBuffer<float> ProcessorBase::busView (juce::AudioBuffer<float>& buffer, bool isInput, int busIndex) const
{
    const auto* bus = getBus (isInput, busIndex);
    if (bus == nullptr || ! bus->isEnabled())
        return {};

    const int first = getChannelIndexInProcessBlockBuffer (isInput, busIndex, 0);
    const int count = std::min (bus->getNumberOfChannels(), buffer.getNumChannels() - first);
    if (count <= 0)
        return {};

    return { buffer.getArrayOfWritePointers() + first, count, buffer.getNumSamples() };
}

void ProcessorBase::processInSubBlocks (juce::AudioBuffer<float>& main, juce::AudioBuffer<float>* sidechain,
                                        juce::MidiBuffer& midi)
{
    const int total = main.getNumSamples();
    for (int start = 0; start < total; start += maxBlockSize)
    {
        const int length = std::min (total - start, maxBlockSize);
        auto mainPart = viewOf (main, start, length);

        if (config.wantsMidi)
            processMidi (midi, start, length);

        if (sidechain == nullptr)
        {
            processAudio (mainPart);
        }
        else if (sidechain->getNumChannels() > 0)
        {
            auto sidechainPart = viewOf (*sidechain, start, length);
            processAudio (mainPart, sidechainPart);
        }
        else
        {
            juce::AudioBuffer<float> noSidechain;
            processAudio (mainPart, noSidechain);
        }
    }
}

double ProcessorBase::getTailLengthSeconds() const { return 0.0; }
bool ProcessorBase::acceptsMidi() const { return config.wantsMidi; }
bool ProcessorBase::producesMidi() const { return false; }
bool ProcessorBase::isMidiEffect() const { return false; }
bool ProcessorBase::supportsMPE() const { return false; }
bool ProcessorBase::canAddBus (bool) const { return false; }
bool ProcessorBase::canRemoveBus (bool) const { return false; }
bool ProcessorBase::supportsDoublePrecisionProcessing() const { return false; }
juce::AudioProcessorParameter* ProcessorBase::getBypassParameter() const { return bypassParameter; }
bool ProcessorBase::hasEditor() const { return true; }
int ProcessorBase::getNumPrograms() { return 1; }
int ProcessorBase::getCurrentProgram() { return 0; }
void ProcessorBase::setCurrentProgram (int) {}
void ProcessorBase::changeProgramName (int, const juce::String&) {}

// Hosts list programs by name and treat a nameless one as a fault.
const juce::String ProcessorBase::getProgramName (int index)
{
    return index == 0 ? juce::String ("Default") : juce::String();
}

void ProcessorBase::getStateInformation (juce::MemoryBlock& destData)
{
    stateManager.writeState (destData);
}

void ProcessorBase::setStateInformation (const void* data, int sizeInBytes)
{
    stateManager.readState (data, sizeInBytes);
}

bool ProcessorBase::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto mainIn = layouts.getMainInputChannelSet();
    const auto mainOut = layouts.getMainOutputChannelSet();

    if (mainIn != mainOut || mainIn.size() < 1)
        return false;

    if (config.sidechain && layouts.inputBuses.size() > 1)
    {
        const auto sidechain = layouts.getChannelSet (true, 1);
        if (sidechain.size() != 0 && sidechain != juce::AudioChannelSet::mono()
            && sidechain != juce::AudioChannelSet::stereo())
            return false;
    }

    if (config.stereoOnly)
        return mainIn == juce::AudioChannelSet::stereo();

    return mainIn == juce::AudioChannelSet::mono() || mainIn == juce::AudioChannelSet::stereo();
}

juce::File ProcessorBase::getUserDataFolder() const
{
    const auto appData = platform::applicationDataFolder();
    if (appData.empty())
        return {};
    return juce::File (appData).getChildFile (config.vendor).getChildFile (config.name);
}

} // namespace vo::core
