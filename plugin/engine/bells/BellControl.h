#pragma once

#include "BandLayout.h"
#include "bells/BellFilter.h"
#include "bells/BellLanes.h"
#include "kernels/EngineKernels.h"

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
// what to refresh from the changed mask: a bit for every filter whose
// coefficients or ramp applyAmplitudes or setBandGain touched since the mask
// was last cleared.
class BellControl
{
public:
    static constexpr int kSetCount = 2;
    static constexpr int kFilterCount = kSetCount * kBandCount;
    static constexpr int kRampSamples = 32;

    using Amplitudes = std::array<std::array<float, kBandCount>, kSetCount>;

    BellControl();

    // The per-tick passes as the kernel's vector code where it has them, or
    // plainly, bell by bell (the scalar kernel's way, where every control
    // starts).
    void useKernels (const EngineKernels& kernels) noexcept
    {
        amplitudePass = kernels.applyAmplitudes;
        landPass = kernels.landRamps;
    }

    void prepare (double newSampleRate) noexcept;

    // Running ramps complete at once (the audio states are the bank's).
    void landAll() noexcept;

    void resetFilters() noexcept;
    void setBandGain (int filter, float amp) noexcept;
    void applyAmplitudes (const Amplitudes& amplitude) noexcept;

    // Whether applyAmplitudes would change anything at all.
    bool changesAnything (const Amplitudes& amplitude) const noexcept
    {
        return ! flagsCurrent || anyRamping || differs (amplitude);
    }

    // One sample's ramp step, as the reference chain takes it before each sample.
    void advanceRamps() noexcept;

    // Lands every running ramp, as the sample that ends the ramp does.
    void landRamps() noexcept;

    bool isFlat() const noexcept { return flat; }
    bool isRamping() const noexcept { return anyRamping; }

    // One filter's record, put together from the arrays.
    BellFilter getFilter (int filter) const noexcept;

    const BellRecords& records() const noexcept { return bells; }
    // For banks that step ramps in their own storage and hand the positions back.
    BellRecords& records() noexcept { return bells; }

    int getActiveCount() const noexcept { return activeCount; }
    int getRampCounter() const noexcept { return rampCounter; }
    void setRampCounter (int newCounter) noexcept { rampCounter = newCounter; }
    std::uint64_t getRampsStarted() const noexcept { return rampsStarted; }

    std::uint64_t getChanged() const noexcept { return changed; }
    void clearChanged() noexcept { changed = 0; }

private:
    bool differs (const Amplitudes& amplitude) const noexcept;
    void setCoefficients (int filter, double k, double m1, double a1) noexcept;
    void stopRamp (int filter) noexcept;
    void startRamp (int filter, float amp, double kTarget, double m1Target, double a1Target) noexcept;
    void markChanged (int filter) noexcept { changed |= std::uint64_t { 1 } << filter; }
    void applyPlainly (const std::array<float, kFilterCount>& target) noexcept;
    void landPlainly() noexcept;

    BellRecords bells;
    void (*amplitudePass) (BellAmplitudeStep&) noexcept = nullptr;
    void (*landPass) (BellRecords&) noexcept = nullptr;
    std::array<float, kFilterCount> lastAmplitude {};
    int activeCount = 0;
    int rampCounter = kRampSamples;
    bool anyRamping = false;
    bool flat = true;
    bool flagsCurrent = false;   // flat and anyRamping are what lastAmplitude gives with no ramp running
    double sampleRate = 48000.0;
    std::uint64_t rampsStarted = 0;
    std::uint64_t changed = 0;
};

} // namespace vo::plugins::zel
