#pragma once

#include "BandLayout.h"
#include "cut/CutBank.h"
#include "display/DisplayExchange.h"
#include "display/DisplayFrame.h"
#include "EngineSettings.h"
#include "audition/LinearSmoother.h"
#include "analysis/SidechainAnalyser.h"
#include "audition/SvfFilter.h"

#include <array>
#include <vector>

namespace vo::plugins::zel
{

// The whole signal path: listens to the source (the sidechain, or the main
// input when none is routed), measures it in 32 bands and carves the loud
// bands out of the main channels, in place.
//
// Everything but readDisplayFrame runs on the audio thread (or in prepare);
// only prepare allocates.
class CarveEngine
{
public:
    static constexpr int kTickSamples = CutBank::kTickSamples;
    static constexpr int kMaxChannels = 2;

    CarveEngine();

    void prepare (double sampleRate, int maxBlockSize);
    void setSettings (const EngineSettings& s) noexcept;
    void process (float* const* main, int numMain, float* const* sidechain, int numSidechain, int numSamples) noexcept;

    std::array<float, kBandCount> getCutCurve() const noexcept;
    void loadCutCurve (const float* curve) noexcept;

    // Editor thread.
    void readDisplayFrame (DisplayFrame& out) noexcept;

private:
    // Tests and benchmarks look inside through it (reference/EngineProbe.h);
    // the product has no need to.
    friend struct EngineProbe;

    struct Source
    {
        const float* ch0 = nullptr;
        const float* ch1 = nullptr;
    };

    static bool hasBadInput (float* const* main, int mc, int numSamples) noexcept;
    static bool hasBadOutput (float* const* main, int mc, int numSamples) noexcept;

    bool runGrid (float* const* main, int mc, Source source, int numSamples, bool apply) noexcept;
    void recoverFromBadBlock (float* const* main, int mc, int numSamples) noexcept;

    void updateAuditionFilters() noexcept;
    void designAuditionFilter (SvfFilter& filter, int type, float cornerHz) noexcept;
    void fillAuditionBuffer (Source source, int numSamples) noexcept;
    void mixAudition (float* const* main, int mc, int numSamples) noexcept;

    void publishDisplay (bool newLevels) noexcept;
    std::uint8_t currentStatus() const noexcept;

    SidechainAnalyser analyser;
    CutBank bank;

    SvfFilter scHighPass, scLowPass;
    LinearSmoother auditionFade;
    std::array<std::vector<float>, kMaxChannels> auditionBuffer;
    float lastLowCut = -1.0f, lastHighCut = -1.0f;

    EngineSettings settings;

    DisplayFrame staging;
    DisplayExchange display;
    std::array<float, kBandCount> lastGains {};
    std::uint8_t lastStatus = 255;

    bool sidechainPresent = false;

    double sampleRate = 48000.0;
    int maxBlockSize = 512;
    int gridPhase = 0;
};

} // namespace vo::plugins::zel
