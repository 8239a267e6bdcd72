#pragma once

#include "BandLayout.h"
#include "BellFilter.h"

#include <cstddef>
#include <array>
#include <cstdint>

namespace vo::plugins::zel
{

// Two sets of 32 bells in series (set A: left or mid, set B: right or side), in
// double precision, with per-tick coefficient ramps.
//
// This is the plain, obviously-correct implementation. Any faster bank must
// reproduce its output bit for bit; the tests run both side by side.
class ReferenceBellBank
{
public:
    static constexpr int kSetCount = 2;
    static constexpr int kFilterCount = kSetCount * kBandCount;
    static constexpr int kRampSamples = 32;

    using Amplitudes = std::array<std::array<float, kBandCount>, kSetCount>;

    ReferenceBellBank();

    void prepareFilters (double newSampleRate) noexcept;
    void resetStates() noexcept;
    void resetFilters() noexcept;
    void setBandGain (int filter, float amp) noexcept;
    void applyAmplitudes (const Amplitudes& amplitude) noexcept;

    // Runs n samples that lie within one tick, in place. x1 may be null (mono).
    void process (float* x0, float* x1, int n, bool midSide, bool write) noexcept;

    bool isFlat() const noexcept { return flat; }
    bool isRamping() const noexcept { return anyRamping; }
    const BellFilter& getFilter (int filter) const noexcept { return filters[(size_t) filter]; }
    int getActiveCount() const noexcept { return activeCount; }
    std::uint64_t getRampsStarted() const noexcept { return rampsStarted; }

private:
    void advanceRamps() noexcept;
    void landRamp (BellFilter& f) noexcept;
    void stopRamp (int filter) noexcept;
    void startRamp (int filter, float amp) noexcept;
    float runChain (int set, float x) noexcept;

    std::array<BellFilter, kFilterCount> filters;
    std::array<BellState, kFilterCount> states;
    std::array<std::uint8_t, kFilterCount> activeList {};
    int activeCount = 0;
    Amplitudes lastAmplitude;
    int rampCounter = kRampSamples;
    bool anyRamping = false;
    bool flat = true;
    double sampleRate = 48000.0;
    std::uint64_t rampsStarted = 0;
};

} // namespace vo::plugins::zel
