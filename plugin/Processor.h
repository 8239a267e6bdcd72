#pragma once

#include "BypassFader.h"
#include "core/ProcessorBase.h"
#include "engine/CarveEngine.h"

#include <array>
#include <atomic>

namespace vo::plugins::zel
{

// The plug-in: wires the parameters to the carving engine once per sub-block,
// wraps the engine in the bypass cross-fade, holds the frozen cut and keeps it
// in the saved state and in user presets.
//
// The audio thread never calls into the message system: it only raises atomic
// flags, which a message-thread timer turns into the asynchronous update.
class Processor : public core::ProcessorBase,
                  private juce::AsyncUpdater,
                  private juce::ChangeListener,
                  private juce::ValueTree::Listener,
                  private juce::Timer
{
public:
    static constexpr const char* kFreezeType = "ZELFREEZE";
    static constexpr const char* kCurveProperty = "curve";
    static constexpr int kFlagPollMs = 20;

    Processor();
    ~Processor() override;

    void setStateInformation (const void* data, int sizeInBytes) override;

    void prepareProcessing (double sampleRate, int blockSize) override;
    void processAudio (juce::AudioBuffer<float>& main, juce::AudioBuffer<float>& sidechain) override;
    void processAudio (juce::AudioBuffer<float>& main) override;

    juce::AudioProcessorEditor* createEditor() override;

    CarveEngine& getEngine() noexcept { return engine; }
    const BypassFader& getBypassFader() const noexcept { return bypassFader; }

    // The frozen cut as captured or installed; for tests and the editor.
    bool hasHeldCurve() const noexcept { return freeze.hasHeldCurve; }
    const std::array<float, kBandCount>& getHeldCurve() const noexcept { return freeze.heldCurve; }

private:
    struct ParameterHandles
    {
        const std::atomic<float>* amount;
        const std::atomic<float>* lowCut;
        const std::atomic<float>* highCut;
        const std::atomic<float>* freeze;
        const std::atomic<float>* attack;
        const std::atomic<float>* release;
        const std::atomic<float>* mode;
        const std::atomic<float>* pan;
        const std::atomic<float>* scAudition;
        const std::atomic<float>* smooth;
        const std::atomic<float>* bypass;
    };

    // The frozen cut and its hand-over between the audio and message threads.
    // Each curve buffer has one writer at a time, guarded by its flag.
    struct FreezeCapture
    {
        std::array<float, kBandCount> heldCurve {};
        bool hasHeldCurve = false;
        bool wasFrozen = false;

        std::array<float, kBandCount> capturedCurve {};
        std::atomic<bool> capturePending { false };
        std::array<float, kBandCount> loadedCurve {};
        std::atomic<bool> loadedCurvePending { false };
        std::atomic<bool> curveChanged { false };
        std::atomic<bool> stateRestored { false };
        std::atomic<bool> updateRequested { false };
        bool writingCurve = false;
        int lastSeenLoadCount = 0;
    };

    // juce::AsyncUpdater, juce::ChangeListener, juce::ValueTree::Listener, juce::Timer
    void handleAsyncUpdate() override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void valueTreePropertyChanged (juce::ValueTree& tree, const juce::Identifier& property) override;
    void valueTreeChildAdded (juce::ValueTree& parent, juce::ValueTree& child) override;
    void valueTreeRedirected (juce::ValueTree& tree) override;
    void timerCallback() override;

    void installPendingLoadedCurve (bool freezeOn) noexcept;
    bool readCurveFromTree();
    void writeCapturedCurveIntoTree();
    void switchAuditionOffAsOneGesture();

    const std::atomic<float>* handleFor (const char* id);
    EngineSettings makeSettings() const noexcept;
    void captureFreezeIfSwitchedOn (bool freezeOn) noexcept;
    bool isBypassed() const noexcept;

    CarveEngine engine;
    BypassFader bypassFader;
    FreezeCapture freeze;
    ParameterHandles handles {};
};

} // namespace vo::plugins::zel
