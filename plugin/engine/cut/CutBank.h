#pragma once

#include "cut/BandBallistics.h"
#include "BandLayout.h"
#include "bells/BellBank.h"
#include "cut/OverlapCompensator.h"

#include <cstddef>
#include <array>

namespace vo::plugins::zel
{

// Turns the source's band levels into the gains of the 2 x 32 bells and runs
// the bells on the main signal. The decision logic runs once per 32-sample
// tick, driven from the sample loop in processBank.
class CutBank
{
public:
    using Curve = std::array<float, kBandCount>;
    using Amplitudes = BellBank::Amplitudes;

    static constexpr int kTickSamples = 32;
    static constexpr int kSetA = 0;
    static constexpr int kSetB = 1;
    static constexpr int kModeMidSide = 1;

    CutBank();

    void prepareFilters (double sampleRate) noexcept;
    void prepareCut (double sampleRate, int analysisHop) noexcept;
    void reset() noexcept;

    void setAttackRelease (float newAttackMs, float newReleaseMs) noexcept;
    void setAmount (float newAmount) noexcept;
    void setSmooth (float newSmooth) noexcept;
    void setRange (float newLowCutHz, float newHighCutHz) noexcept;
    void setPanAndMode (float newPan, int mode) noexcept;
    void setFrozen (bool shouldFreeze) noexcept { frozen = shouldFreeze; }
    void setLevels (const Curve& newLevelsDb) noexcept;
    void loadCutCurve (const float* curve) noexcept;

    // Processes the samples in place, running a tick whenever 32 samples have
    // passed. ch1 is ignored unless numChannels is 2.
    void processBank (float* ch0, float* ch1, int numChannels, int numSamples, bool apply) noexcept;

    // processBank, except that the bells may keep the samples queued until
    // flushBank (see WavefrontBellBank::enqueue): the buffers must stay valid
    // and untouched until then.
    void queueBank (float* ch0, float* ch1, int numChannels, int numSamples, bool apply) noexcept;
    void flushBank() noexcept { bells.flush(); }

    float getAttackMs() const noexcept { return attackMs; }
    float getReleaseMs() const noexcept { return releaseMs; }
    float getLowCutHz() const noexcept { return lowCutHz; }
    float getHighCutHz() const noexcept { return highCutHz; }
    int getBandLow() const noexcept { return bandLow; }
    int getBandHigh() const noexcept { return bandHigh; }
    bool isFrozen() const noexcept { return frozen; }
    bool isFlat() const noexcept { return bells.isFlat(); }
    bool isSilentAndFlat() const noexcept { return silentAndFlat; }
    bool isModePending() const noexcept { return modePending; }
    int getActiveMode() const noexcept { return activeMode; }
    float getReference() const noexcept { return reference; }
    float getWeight (int set) const noexcept { return weight[(size_t) set]; }
    const Curve& getHeld() const noexcept { return held; }
    const Curve& getTarget() const noexcept { return target; }
    const Curve& getFollowed() const noexcept { return followed; }
    const Curve& getGains() const noexcept { return gains; }
    const Amplitudes& getAmplitudes() const noexcept { return amplitude; }
    const BellBank& getBells() const noexcept { return bells; }
    BellBank& getBells() noexcept { return bells; }

private:
    void updateCut() noexcept;
    void updateTarget() noexcept;
    void runBallistics() noexcept;
    bool spreadCut() noexcept;
    bool followScaledCut (bool spreadMoved) noexcept;
    void followWeights() noexcept;
    void updateAmplitudes() noexcept;
    void switchModeWhenFlat() noexcept;
    void makeModeActive() noexcept;

    BellBank bells;
    OverlapCompensator overlap;

    Curve levels {};
    bool newLevels = false;
    int bandLow = 0, bandHigh = kBandCount - 1;
    float lowCutHz = 20.0f, highCutHz = 20000.0f;
    float reference = -100.0f;
    float referenceDecay = 0.43f;
    bool resetReference = false;
    bool silent = true;
    Curve target {};
    std::array<BandBallistics, kBandCount> ballistics {};
    Curve held {}, spread {}, scaled {}, followed {}, gains {}, gainsBasis {};
    bool notConverged = false;

    // What the last spread and follow passes worked from: a tick with the same
    // inputs would give the same bits, so a settled cut skips them.
    Curve spreadHeld {};
    float spreadSmooth = 0.0f;
    int spreadLow = 0, spreadHigh = 0;
    bool spreadKnown = false;
    float followAmount = 0.0f;
    bool followSettled = false;
    Curve appliedGains {};
    Amplitudes amplitude {};
    std::array<float, 2> weightTarget { 1.0f, 1.0f }, weight { 1.0f, 1.0f };
    bool weightsStarted = false;
    float pan = 0.0f;
    bool gainsDirty = false, forceApply = false;
    float amount = 0.0f, smooth = 0.3f;
    float attackMs = 10.0f, releaseMs = 150.0f;
    bool frozen = false;
    int requestedMode = 0, activeMode = 0;
    bool modePending = false;
    float followCoeff = 0.125f;
    bool silentAndFlat = true;
    int tickCounter = 0;
};

} // namespace vo::plugins::zel
