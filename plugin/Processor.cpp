#include "Processor.h"

#include "CurveText.h"
#include "Parameters.h"
#include "ProductInfo.h"
#include "ui/Editor.h"

namespace vo::plugins::zel
{

namespace
{
    // Read by handles whose parameter does not exist, so reads never fail.
    const std::atomic<float> kMissingValue { 0.0f };

    core::ProcessorConfig makeConfig()
    {
        core::ProcessorConfig config;
        config.name = product::kName;
        config.version = product::kVersion;
        config.stateVersion = product::kStateVersion;
        config.stereoOnly = false;
        config.sidechain = true;
        config.wantsMidi = false;
        config.vendor = product::kVendor;
        return config;
    }

    bool isOn (const std::atomic<float>* value) noexcept
    {
        return value->load (std::memory_order_relaxed) > 0.5f;
    }

    float read (const std::atomic<float>* value) noexcept
    {
        return value->load (std::memory_order_relaxed);
    }
}

Processor::Processor()
    : ProcessorBase (makeConfig(), params::createLayout(), params::createFactoryPresets())
{
    getStateManager().setUndoEnabled (true);
    getPresetManager().setUndoablePresetLoads (true);

    handles.amount = handleFor (params::ids::amount);
    handles.lowCut = handleFor (params::ids::lowCut);
    handles.highCut = handleFor (params::ids::highCut);
    handles.freeze = handleFor (params::ids::freeze);
    handles.attack = handleFor (params::ids::attack);
    handles.release = handleFor (params::ids::release);
    handles.mode = handleFor (params::ids::mode);
    handles.pan = handleFor (params::ids::pan);
    handles.scAudition = handleFor (params::ids::scAudition);
    handles.smooth = handleFor (params::ids::smooth);
    handles.bypass = handleFor (params::ids::bypass);

    getPresetManager().setExtraStateType (kFreezeType);
    getStateManager().getValueTreeState().state.addListener (this);
    getPresetManager().addChangeListener (this);
    startTimer (kFlagPollMs);
}

Processor::~Processor()
{
    stopTimer();
    getPresetManager().removeChangeListener (this);
    getStateManager().getValueTreeState().state.removeListener (this);
    cancelPendingUpdate();
}

const std::atomic<float>* Processor::handleFor (const char* id)
{
    if (const auto* value = getStateManager().getValueTreeState().getRawParameterValue (id))
        return value;
    return &kMissingValue;
}

bool Processor::isBypassed() const noexcept
{
    return read (handles.bypass) >= 0.5f;
}

void Processor::prepareProcessing (double newSampleRate, int newBlockSize)
{
    engine.prepare (newSampleRate, newBlockSize);
    bypassFader.prepare (newSampleRate, newBlockSize, isBypassed());
    setLatencySamples (0);

    freeze.wasFrozen = isOn (handles.freeze);
    if (freeze.wasFrozen && freeze.hasHeldCurve)
        engine.loadCutCurve (freeze.heldCurve.data());
}

EngineSettings Processor::makeSettings() const noexcept
{
    EngineSettings s;
    s.amount = read (handles.amount) * 0.01f;
    s.lowCut = read (handles.lowCut);
    s.highCut = read (handles.highCut);
    s.freeze = isOn (handles.freeze);
    s.attack = read (handles.attack);
    s.release = read (handles.release);
    s.mode = isOn (handles.mode) ? 1 : 0;
    s.pan = read (handles.pan) * 0.01f;
    s.scAudition = isOn (handles.scAudition);
    s.smooth = read (handles.smooth) * 0.01f;
    return s;
}

void Processor::holdCurve (const CurveExchange::Curve& curve) noexcept
{
    freeze.heldCurve = curve;
    freeze.hasHeldCurve = true;
    freeze.held.publish (curve);
}

// A curve that arrived with a state or preset replaces whatever is held.
void Processor::installPendingLoadedCurve (bool freezeOn) noexcept
{
    CurveExchange::Curve curve;
    if (! freeze.loaded.takeFresh (curve) || ! freezeOn)
        return;

    holdCurve (curve);
    engine.loadCutCurve (freeze.heldCurve.data());
    freeze.wasFrozen = true;
}

// The cut is taken as it stands before this sub-block, so freezing holds
// exactly what the user heard when pressing the switch.
void Processor::captureFreezeIfSwitchedOn (bool freezeOn) noexcept
{
    installPendingLoadedCurve (freezeOn);

    if (freezeOn && ! freeze.wasFrozen)
    {
        holdCurve (engine.getCutCurve());
        freeze.captured.publish (freeze.heldCurve);
        freeze.updateRequested.store (true);
    }
    freeze.wasFrozen = freezeOn;
}

void Processor::processAudio (juce::AudioBuffer<float>& main, juce::AudioBuffer<float>& sidechain)
{
    const auto settings = makeSettings();
    captureFreezeIfSwitchedOn (settings.freeze);
    engine.setSettings (settings);

    const int numSamples = main.getNumSamples();
    bypassFader.pushDry (main.getArrayOfReadPointers(), main.getNumChannels(), numSamples);

    const int numSidechain = sidechain.getNumChannels();
    engine.process (main.getArrayOfWritePointers(), main.getNumChannels(),
                    numSidechain > 0 ? sidechain.getArrayOfWritePointers() : nullptr, numSidechain,
                    numSamples);

    bypassFader.mixProcessed (main.getArrayOfWritePointers(), main.getNumChannels(), numSamples, isBypassed());
}

void Processor::processAudio (juce::AudioBuffer<float>& main)
{
    juce::AudioBuffer<float> noSidechain;
    processAudio (main, noSidechain);
}

void Processor::setStateInformation (const void* data, int sizeInBytes)
{
    ProcessorBase::setStateInformation (data, sizeInBytes);
    freeze.stateRestored.store (true);
    triggerAsyncUpdate();
}

void Processor::changeListenerCallback (juce::ChangeBroadcaster*)
{
    triggerAsyncUpdate();
}

void Processor::valueTreePropertyChanged (juce::ValueTree& tree, const juce::Identifier& property)
{
    if (freeze.writingCurve)
        return;

    if (tree.hasType (kFreezeType) && property.toString() == kCurveProperty)
    {
        freeze.curveChanged.store (true);
        triggerAsyncUpdate();
    }
}

void Processor::valueTreeChildAdded (juce::ValueTree&, juce::ValueTree& child)
{
    if (freeze.writingCurve)
        return;

    if (child.hasType (kFreezeType))
    {
        freeze.curveChanged.store (true);
        triggerAsyncUpdate();
    }
}

void Processor::valueTreeRedirected (juce::ValueTree&)
{
    freeze.curveChanged.store (true);
    triggerAsyncUpdate();
}

void Processor::timerCallback()
{
    if (freeze.updateRequested.exchange (false))
        triggerAsyncUpdate();
}

void Processor::handleAsyncUpdate()
{
    const int loadCount = getPresetManager().getLoadCounter();
    const bool presetLoaded = loadCount != freeze.lastSeenLoadCount;
    if (presetLoaded)
        freeze.stateRestored.store (true);
    freeze.lastSeenLoadCount = loadCount;

    // A stored curve wins over a fresh capture: it is read and installed
    // instead of writing the capture. When there is no stored curve to use,
    // the capture is written, so it is never lost.
    const bool readStored = freeze.curveChanged.exchange (false) || presetLoaded;
    const bool captured = freeze.captured.takeFresh (freeze.capturedCurve);
    const bool installedStored = readStored && readCurveFromTree();
    if (captured && ! installedStored)
        writeCapturedCurveIntoTree();

    if (freeze.stateRestored.exchange (false))
        switchAuditionOffAsOneGesture();
}

bool Processor::readCurveFromTree()
{
    const auto child = getStateManager().getValueTreeState().state.getChildWithName (kFreezeType);
    const auto text = child.getProperty (kCurveProperty).toString();
    if (text.isEmpty() || ! isOn (handles.freeze))
        return false;

    freeze.loaded.publish (CurveText::decode (text));
    return true;
}

void Processor::writeCapturedCurveIntoTree()
{
    const auto text = CurveText::encode (freeze.capturedCurve);
    auto& tree = getStateManager().getValueTreeState().state;

    freeze.writingCurve = true;
    auto child = tree.getOrCreateChildWithName (kFreezeType, nullptr);
    child.setProperty (kCurveProperty, text, nullptr);
    freeze.writingCurve = false;
}

void Processor::switchAuditionOffAsOneGesture()
{
    auto* audition = getStateManager().getValueTreeState().getParameter (params::ids::scAudition);
    if (audition == nullptr || audition->getValue() <= 0.5f)
        return;

    audition->beginChangeGesture();
    audition->setValueNotifyingHost (0.0f);
    audition->endChangeGesture();
}

juce::AudioProcessorEditor* Processor::createEditor()
{
    return new Editor (*this);
}

} // namespace vo::plugins::zel

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new vo::plugins::zel::Processor();
}
