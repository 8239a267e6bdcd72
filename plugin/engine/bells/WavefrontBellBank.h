#pragma once

#include "BandLayout.h"
#include "bells/BellControl.h"
#include "bells/BellFilter.h"
#include "bells/BellLanes.h"
#include "kernels/EngineKernels.h"

#include <cstddef>
#include <array>
#include <cstdint>

namespace vo::plugins::zel
{

// The engine's bank: ReferenceBellBank's behaviour, with the audio run as a
// vectorised wavefront across the bells (see bells/wavefront/WavefrontShape.h).
//
// The control side is the reference's own BellControl, set to run its vector
// passes where the kernel's instruction set has them (the reference keeps the
// plain ones, which is what the tests hold these to). The audio side works on
// a mirror of the coefficients in lane order, refreshed from the control's
// changed mask. Per-sample ramp steps are the same additions as the
// reference's, done inside the kernel's lanes.
//
// Samples can also be queued: they wait until flush (or until the bank changes
// in a way a queue cannot carry) and then run in one kernel call, the widest
// kernel as one long wavefront of many ticks, so that its fill and drain are
// paid once instead of every tick. Each tick
// of the queue keeps its own coefficient schedule (BellTick), which the
// control side fixes when the tick begins: the schedule does not depend on the
// audio.
class WavefrontBellBank
{
public:
    static constexpr int kSetCount = BellControl::kSetCount;
    static constexpr int kFilterCount = BellControl::kFilterCount;
    static constexpr int kRampSamples = BellControl::kRampSamples;
    static constexpr int kQueueSamples = BellRun::kMaxSamples;

    using Amplitudes = BellControl::Amplitudes;

    WavefrontBellBank();

    // Falls back to the best available kernel when the requested one cannot run.
    // Drops anything queued.
    void setKernel (BellKernel newKernel) noexcept;
    BellKernel getKernel() const noexcept { return kernels->kernel; }

    // The entry points of the kernel the bank runs, for whoever works next to
    // it on the same CPU.
    const EngineKernels& getKernels() const noexcept { return *kernels; }

    // Drops anything queued.
    void prepareFilters (double newSampleRate) noexcept;

    void resetStates() noexcept;
    void resetFilters() noexcept;
    void setBandGain (int filter, float amp) noexcept;
    void applyAmplitudes (const Amplitudes& amplitude) noexcept;

    // Runs n samples that lie within one tick, in place. x1 may be null (mono).
    void process (float* x0, float* x1, int n, bool midSide, bool write) noexcept;

    // process, but the samples may be left in the queue until flush or until
    // the bank next changes in a way a queue cannot carry; the buffers must
    // stay valid and untouched until then. The bits are exactly those of
    // process; the records of a ramp still running when the queue ends catch
    // up when it runs.
    void enqueue (float* x0, float* x1, int n, bool midSide, bool write) noexcept;
    void flush() noexcept;
    int getQueuedSamples() const noexcept { return queued; }

    bool isFlat() const noexcept { return control.isFlat(); }
    bool isRamping() const noexcept { return control.isRamping(); }
    BellFilter getFilter (int filter) const noexcept { return control.getFilter (filter); }
    int getActiveCount() const noexcept { return control.getActiveCount(); }
    std::uint64_t getRampsStarted() const noexcept { return control.getRampsStarted(); }

private:
    // A piece of queued audio: where its output goes and how.
    struct Pending
    {
        float* x0 = nullptr;
        float* x1 = nullptr;
        int start = 0;
        int n = 0;
        bool midSide = false;
        bool write = false;
    };

    static int laneOf (int filter) noexcept { return 2 * (filter % kBandCount) + filter / kBandCount; }

    static constexpr int kManyChangedBells = 8;

    void mirrorChanges() noexcept;
    void mirrorAll() noexcept;
    void syncLanes() noexcept;
    void writeLane (int filter) noexcept;
    void dropQueue() noexcept;

    void processScalar (float* x0, float* x1, int n, bool midSide, bool write) noexcept;
    float runChain (int set, float x) noexcept;

    void processVector (float* x0, float* x1, int n, bool midSide, bool write) noexcept;
    void fillInput (const float* x0, const float* x1, int n, bool midSide, double* in) noexcept;
    void runLanes (BellRun& run, bool mono) noexcept;
    void takeBackRamps() noexcept;
    void startQueue() noexcept;
    void queueTick() noexcept;
    static void advanceControl (BellControl& control, int n) noexcept;
    static void writeOutput (float* x0, float* x1, int n, bool midSide, const double* out) noexcept;

    BellControl control;

    const EngineKernels* kernels = nullptr;
    bool lanesStale = true;
    BellLanes lanes {};

    // ticks[0] mirrors the ramp the control is running; a queue's later
    // ticks take the following slots.
    std::array<BellTick, BellRun::kMaxSegments> ticks {};
    std::array<BellSegment, BellRun::kMaxSegments> segments {};
    int segmentCount = 0;
    std::array<BellPlan, BellRun::kMaxPlans> plans {};

    std::array<Pending, kQueueSamples> pending {};
    int pendingCount = 0;
    int queued = 0;
    bool queuedMono = false;

    alignas (64) std::array<double, BellRun::kPad + 2 * BellRun::kMaxSamples + BellRun::kPad> input {};
    alignas (64) std::array<double, 2 * BellRun::kMaxSamples> output {};
};

} // namespace vo::plugins::zel
