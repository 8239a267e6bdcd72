#pragma once

#include "BandLayout.h"
#include "BellFilter.h"

#include <cstddef>
#include <array>
#include <cstdint>

namespace vo::plugins::zel
{

// The control side of a bank of 2 x 32 bells: amplitudes to coefficients, the
// per-tick ramps, and the flat/ramping flags. Every bank runs its audio from
// these records, so all banks share one set of decisions.
//
// Banks that keep their own copy of the coefficients (in lane order, say) learn
// what to refresh from the changed list: every filter whose coefficients or
// ramp applyAmplitudes or setBandGain touched since the list was last cleared.
class BellControl
{
public:
    static constexpr int kSetCount = 2;
    static constexpr int kFilterCount = kSetCount * kBandCount;
    static constexpr int kRampSamples = 32;

    using Amplitudes = std::array<std::array<float, kBandCount>, kSetCount>;

    BellControl();

    void prepare (double newSampleRate) noexcept;

    // Running ramps complete at once (the audio states are the bank's).
    void landAll() noexcept;

    void resetFilters() noexcept;
    void setBandGain (int filter, float amp) noexcept;
    void applyAmplitudes (const Amplitudes& amplitude) noexcept;

    // Whether applyAmplitudes would change anything at all.
    bool changesAnything (const Amplitudes& amplitude) const noexcept
    {
        return ! flagsCurrent || anyRamping || differs (amplitude, lastAmplitude);
    }

    // One sample's ramp step, as the reference chain takes it before each sample.
    void advanceRamps() noexcept;

    // Lands every running ramp, as the sample that ends the ramp does.
    void landRamps() noexcept;

    bool isFlat() const noexcept { return flat; }
    bool isRamping() const noexcept { return anyRamping; }
    const BellFilter& getFilter (int filter) const noexcept { return filters[(size_t) filter]; }
    BellFilter& getFilter (int filter) noexcept { return filters[(size_t) filter]; }
    int getActiveCount() const noexcept { return activeCount; }
    int getActive (int i) const noexcept { return activeList[(size_t) i]; }
    int getRampCounter() const noexcept { return rampCounter; }
    void setRampCounter (int newCounter) noexcept { rampCounter = newCounter; }
    std::uint64_t getRampsStarted() const noexcept { return rampsStarted; }

    int getChangedCount() const noexcept { return changedCount; }
    int getChanged (int i) const noexcept { return changedList[(size_t) i]; }
    void clearChanged() noexcept;

private:
    static bool differs (const Amplitudes& a, const Amplitudes& b) noexcept;
    static void landRamp (BellFilter& f) noexcept;
    void stopRamp (int filter) noexcept;
    void startRamp (int filter, float amp) noexcept;
    void markChanged (int filter) noexcept;

    std::array<BellFilter, kFilterCount> filters;
    std::array<std::uint8_t, kFilterCount> activeList {};
    int activeCount = 0;
    Amplitudes lastAmplitude;
    int rampCounter = kRampSamples;
    bool anyRamping = false;
    bool flat = true;
    bool flagsCurrent = false;   // flat and anyRamping are what lastAmplitude gives with no ramp running
    double sampleRate = 48000.0;
    std::uint64_t rampsStarted = 0;

    std::array<std::uint8_t, kFilterCount> changedList {};
    std::array<bool, kFilterCount> isChanged {};
    int changedCount = 0;
};

} // namespace vo::plugins::zel
