#pragma once

#include "FactoryPreset.h"
#include "PresetManager.h"
#include "ProcessorConfig.h"
#include "StateManager.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <vector>

namespace vo::core
{

// The maker's audio-processor base: buses, the parameter tree with an
// always-present "bypass", state, program stubs and the per-block frame that
// hands the effect sub-blocks no longer than it was prepared for.
class ProcessorBase : public juce::AudioProcessor
{
public:
    ProcessorBase (ProcessorConfig config,
                   juce::AudioProcessorValueTreeState::ParameterLayout layout,
                   std::vector<FactoryPreset> factoryPresets);
    ~ProcessorBase() override;

    // Hooks for the concrete effect.
    virtual void prepareProcessing (double sampleRate, int blockSize) = 0;
    virtual void processAudio (juce::AudioBuffer<float>& main, juce::AudioBuffer<float>& sidechain);
    virtual void processAudio (juce::AudioBuffer<float>& main) = 0;
    virtual void processMidi (juce::MidiBuffer& midi, int startSample, int numSamples);
    virtual void releaseProcessing();

    // juce::AudioProcessor
    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;
    bool supportsMPE() const override;
    bool canAddBus (bool isInput) const override;
    bool canRemoveBus (bool isInput) const override;
    bool supportsDoublePrecisionProcessing() const override;
    juce::AudioProcessorParameter* getBypassParameter() const override;
    bool hasEditor() const override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    StateManager& getStateManager() noexcept { return stateManager; }
    PresetManager& getPresetManager() noexcept { return presetManager; }
    const ProcessorConfig& getConfig() const noexcept { return config; }
    const juce::String& getVersion() const noexcept { return config.version; }
    const juce::String& getVendor() const noexcept { return config.vendor; }

    // <application data>/<vendor>/<name>; not created here.
    juce::File getUserDataFolder() const;

    int getMaxBlockSize() const noexcept { return maxBlockSize; }
    bool isPrepared() const noexcept { return prepared; }

    // Filled by the editor on first opening so the loaded fonts outlive it.
    std::shared_ptr<void> typefaceKeepAlive;

private:
    static BusesProperties makeBuses (const ProcessorConfig& config);
    static juce::AudioProcessorValueTreeState::ParameterLayout withBypass (
        juce::AudioProcessorValueTreeState::ParameterLayout layout);
    juce::AudioBuffer<float> busView (juce::AudioBuffer<float>& buffer, bool isInput, int busIndex) const;
    void processInSubBlocks (juce::AudioBuffer<float>& main, juce::AudioBuffer<float>* sidechain, juce::MidiBuffer& midi);

    ProcessorConfig config;
    StateManager stateManager;
    PresetManager presetManager;
    juce::AudioParameterBool* bypassParameter = nullptr;
    bool prepared = false;
    int maxBlockSize = 512;
};

} // namespace vo::core
