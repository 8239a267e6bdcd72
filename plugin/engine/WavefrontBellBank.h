#pragma once

#include "BandLayout.h"
#include "BellFilter.h"
#include "BellLanes.h"

#include <cstddef>
#include <array>
#include <cstdint>

namespace vo::plugins::zel
{

// How the cascade runs. Every kernel gives the same bits; they differ only in
// speed and in the CPUs they need.
enum class BellKernel
{
    scalar,   // the plain chain, one bell after the other: any CPU
    sse2,     // wavefront, 2 lanes: any x86-64
    avx2,     // wavefront, 4 lanes
    avx512    // wavefront, 8 lanes
};

// The engine's bank: ReferenceBellBank's behaviour, with the audio run as a
// vectorised wavefront across the bells (see BellWavefront.h).
//
// The control side (amplitudes, ramps, flat/ramping flags, the per-filter
// records) is the reference's code on the same BellFilter records. The audio
// side works on a mirror of the coefficients in lane order, refreshed whenever
// the control side changed them. Per-sample ramp steps are the same additions
// as the reference's, done inside the kernel's lanes.
class WavefrontBellBank
{
public:
    static constexpr int kSetCount = 2;
    static constexpr int kFilterCount = kSetCount * kBandCount;
    static constexpr int kRampSamples = 32;

    using Amplitudes = std::array<std::array<float, kBandCount>, kSetCount>;

    WavefrontBellBank();

    // The fastest kernel this CPU runs; whether a kernel is built in and runs here.
    static BellKernel bestKernel() noexcept;
    static bool isAvailable (BellKernel kernel) noexcept;
    static const char* kernelName (BellKernel kernel) noexcept;

    // Falls back to the best available kernel when the requested one cannot run.
    void setKernel (BellKernel newKernel) noexcept;
    BellKernel getKernel() const noexcept { return kernel; }

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
    static int laneOf (int filter) noexcept { return 2 * (filter % kBandCount) + filter / kBandCount; }

    void landRamp (BellFilter& f) noexcept;
    void stopRamp (int filter) noexcept;
    void startRamp (int filter, float amp) noexcept;
    void syncLanes() noexcept;
    void writeLane (int filter) noexcept;
    void writeRampLane (int filter) noexcept;

    void processScalar (float* x0, float* x1, int n, bool midSide, bool write) noexcept;
    void advanceRamps() noexcept;
    float runChain (int set, float x) noexcept;

    void processVector (float* x0, float* x1, int n, bool midSide, bool write) noexcept;

    std::array<BellFilter, kFilterCount> filters;
    std::array<std::uint8_t, kFilterCount> activeList {};
    int activeCount = 0;
    Amplitudes lastAmplitude;
    int rampCounter = kRampSamples;
    bool anyRamping = false;
    bool flat = true;
    double sampleRate = 48000.0;
    std::uint64_t rampsStarted = 0;

    BellKernel kernel = BellKernel::scalar;
    void (*runKernel) (const BellRun&) noexcept = nullptr;
    bool lanesStale = true;
    BellLanes lanes {};
    alignas (64) std::array<double, BellRun::kPad + 2 * BellRun::kMaxSamples + BellRun::kPad> input {};
    alignas (64) std::array<double, 2 * BellRun::kMaxSamples> output {};
};

} // namespace vo::plugins::zel
