#pragma once

#include "BandLayout.h"
#include "bells/BellControl.h"
#include "bells/BellFilter.h"

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
    static constexpr int kSetCount = BellControl::kSetCount;
    static constexpr int kFilterCount = BellControl::kFilterCount;
    static constexpr int kRampSamples = BellControl::kRampSamples;

    using Amplitudes = BellControl::Amplitudes;

    ReferenceBellBank();

    void prepareFilters (double newSampleRate) noexcept;
    void resetStates() noexcept;
    void resetFilters() noexcept;
    void setBandGain (int filter, float amp) noexcept { control.setBandGain (filter, amp); }
    void applyAmplitudes (const Amplitudes& amplitude) noexcept { control.applyAmplitudes (amplitude); }

    // Runs n samples that lie within one tick, in place. x1 may be null (mono).
    void process (float* x0, float* x1, int n, bool midSide, bool write) noexcept;

    bool isFlat() const noexcept { return control.isFlat(); }
    bool isRamping() const noexcept { return control.isRamping(); }
    BellFilter getFilter (int filter) const noexcept { return control.getFilter (filter); }
    int getActiveCount() const noexcept { return control.getActiveCount(); }
    std::uint64_t getRampsStarted() const noexcept { return control.getRampsStarted(); }

    // One sample through one set's 32 bells: the chain every bank reproduces.
    static float runChain (const BellRecords& bells, int set, BellState* states, float x) noexcept;

private:
    BellControl control;
    std::array<BellState, kFilterCount> states;
};

} // namespace vo::plugins::zel
