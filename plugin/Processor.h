#pragma once

#include "BypassFader.h"
#include "CurveExchange.h"
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

    // The frozen cut as the audio thread last captured or installed it, handed
    // over without locks. Message thread only (one reader).
    bool hasHeldCurve() const noexcept { return freeze.held.hasCurve(); }
    CurveExchange::Curve getHeldCurve() noexcept { return freeze.held.latest(); }

private:
    // The bypass tests watch the fade through it (tests/support/ProcessorProbe.h);
    // the product has no need to.
    friend struct ProcessorProbe;

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

    // The frozen cut and its hand-overs between the audio and message threads.
    // Curves cross only through the exchanges; each member below them belongs
    // to the one thread its comment names.
    struct FreezeCapture
    {
        CurveExchange held;       // audio -> message: what the engine holds
        CurveExchange captured;   // audio -> message: a fresh capture to store
        CurveExchange loaded;     // message -> audio: a stored curve to install

        std::atomic<bool> curveChanged { false };
        std::atomic<bool> stateRestored { false };
        std::atomic<bool> updateRequested { false };

        // Audio thread (and prepare, which the host never runs beside it).
        CurveExchange::Curve heldCurve {};
        bool hasHeldCurve = false;
        bool wasFrozen = false;

        // Message thread.
        CurveExchange::Curve capturedCurve {};
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
    void holdCurve (const CurveExchange::Curve& curve) noexcept;
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
