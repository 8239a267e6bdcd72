#include "bells/WavefrontBellBank.h"

#include <algorithm>
#include <bit>

namespace vo::plugins::zel
{

namespace
{
    // A bell's ramp as the kernels read it: its steps, and where it lands (on
    // its own coefficients when it does not ramp).
    void scheduleLane (BellTick& tick, const BellRecords& bells, size_t i, size_t lane) noexcept
    {
        const bool r = bells.ramping[i];
        tick.da1[lane] = r ? bells.da1[i] : 0.0;
        tick.dm1[lane] = r ? bells.dm1[i] : 0.0;
        tick.landA1[lane] = r ? bells.a1Target[i] : bells.a1[i];
        tick.landM1[lane] = r ? bells.m1Target[i] : bells.m1[i];
    }
} // namespace

WavefrontBellBank::WavefrontBellBank()
{
    setKernel (fastestKernel());
    prepareFilters (48000.0);
}

void WavefrontBellBank::setKernel (BellKernel newKernel) noexcept
{
    kernels = &kernelsFor (newKernel);
    control.useKernels (*kernels);
    dropQueue();
    lanesStale = true;
}

void WavefrontBellBank::prepareFilters (double newSampleRate) noexcept
{
    dropQueue();
    control.prepare (newSampleRate);
    std::fill (std::begin (lanes.ic1), std::end (lanes.ic1), 0.0);
    std::fill (std::begin (lanes.ic2), std::end (lanes.ic2), 0.0);
    lanesStale = true;
}

void WavefrontBellBank::resetStates() noexcept
{
    flush();
    std::fill (std::begin (lanes.ic1), std::end (lanes.ic1), 0.0);
    std::fill (std::begin (lanes.ic2), std::end (lanes.ic2), 0.0);
    control.landAll();
    lanesStale = true;
}

void WavefrontBellBank::resetFilters() noexcept
{
    resetStates();
    control.resetFilters();
    lanesStale = true;
    mirrorChanges();
}

void WavefrontBellBank::setBandGain (int filter, float amp) noexcept
{
    flush();
    control.setBandGain (filter, amp);
    mirrorChanges();
}

void WavefrontBellBank::applyAmplitudes (const Amplitudes& amplitude) noexcept
{
    if (queued == 0 || ! control.changesAnything (amplitude))
    {
        control.applyAmplitudes (amplitude);
        mirrorChanges();
        return;
    }

    // A queue carries a new tick when the last one's ramps have landed and
    // the tick starts where the kernels can switch lanes over.
    if (control.isRamping() || queued % BellSegment::kSegmentAlignment != 0 || segmentCount == BellRun::kMaxSegments)
    {
        flush();
        control.applyAmplitudes (amplitude);
        mirrorChanges();
        return;
    }

    control.applyAmplitudes (amplitude);
    control.clearChanged();
    queueTick();
}

// The tick that begins at the end of the queue, as the control has just set it.
void WavefrontBellBank::queueTick() noexcept
{
    auto& tick = ticks[(size_t) segmentCount];
    kernels->scheduleTick (control.records(), tick);

    const bool ramping = control.isRamping();
    segments[(size_t) segmentCount++] = BellSegment { queued, ramping ? kRampSamples - 1 : 0, ramping ? kRampSamples - 1 : -1, &tick };
}

void WavefrontBellBank::mirrorChanges() noexcept
{
    const auto changed = control.getChanged();
    if (lanesStale || changed == 0)
    {
        control.clearChanged();
        return;
    }

    // Past a handful of bells, rewriting every lane in order costs less than
    // picking out the changed ones (a tick of a moving cut changes nearly all).
    if (std::popcount (changed) > kManyChangedBells)
        mirrorAll();
    else
        for (auto rest = changed; rest != 0; rest &= rest - 1)
            writeLane (std::countr_zero (rest));

    control.clearChanged();
}

// writeLane for every bell; an unchanged bell's lanes get the values they hold.
void WavefrontBellBank::mirrorAll() noexcept
{
    const BellRecords& bells = control.records();
    if (kernels->mirrorLanes != nullptr)
    {
        kernels->mirrorLanes (bells, lanes, ticks[0]);
        return;
    }

    for (int filter = 0; filter < kFilterCount; ++filter)
        writeLane (filter);
}

// The kernels recompute a2 and a3 from a1 whenever they step, and step every
// lane; a settled bell has zero increments and lands on its own values, which
// leaves it bit for bit where it is (a1 is never zero, m1 never -0). A ramp
// starts from the coefficients the lanes hold, which the control's records
// equal after every run.
void WavefrontBellBank::writeLane (int filter) noexcept
{
    const BellRecords& bells = control.records();
    const auto i = (size_t) filter;
    const auto lane = (size_t) laneOf (filter);
    lanes.g[lane] = bells.g[i];
    lanes.a1[lane] = bells.a1[i];
    lanes.a2[lane] = bells.a2[i];
    lanes.a3[lane] = bells.a3[i];
    lanes.m1[lane] = bells.m1[i];
    scheduleLane (ticks[0], bells, i, lane);
}

void WavefrontBellBank::syncLanes() noexcept
{
    mirrorAll();
    lanesStale = false;
}

void WavefrontBellBank::process (float* x0, float* x1, int n, bool midSide, bool write) noexcept
{
    flush();

    if (kernels->runBells == nullptr)
    {
        processScalar (x0, x1, n, midSide, write);
        return;
    }

    for (int done = 0; done < n;)
    {
        const int chunk = std::min (n - done, BellRun::kMaxSamples);
        processVector (x0 + done, x1 != nullptr ? x1 + done : nullptr, chunk, midSide, write);
        done += chunk;
    }
}

void WavefrontBellBank::enqueue (float* x0, float* x1, int n, bool midSide, bool write) noexcept
{
    if (kernels->runBells == nullptr)
    {
        process (x0, x1, n, midSide, write);
        return;
    }

    const bool mono = x1 == nullptr;
    if (queued > 0 && mono != queuedMono)
        flush();

    for (int done = 0; done < n;)
    {
        if (queued == 0)
            startQueue();

        const int m = std::min (n - done, kQueueSamples - queued);
        float* p1 = mono ? nullptr : x1 + done;
        fillInput (x0 + done, p1, m, midSide, input.data() + BellRun::kPad + 2 * queued);
        pending[(size_t) pendingCount++] = Pending { x0 + done, p1, queued, m, midSide, write };
        queued += m;
        queuedMono = mono;
        done += m;
        advanceControl (control, m);

        if (queued == kQueueSamples)
            flush();
    }
}

// The first segment goes on with whatever ramp the control is running.
void WavefrontBellBank::startQueue() noexcept
{
    if (lanesStale)
        syncLanes();

    const int landAt = control.isRamping() ? kRampSamples - 1 - control.getRampCounter() : -1;
    segments[0] = BellSegment { 0, landAt >= 0 ? landAt : 0, landAt, &ticks[0] };
    segmentCount = 1;
}

// The control's side of n samples: the ramp counter moves on and a ramp that
// ends within them lands. The steps in between happen in the lanes; the
// records of a ramp that is still running catch up when the queue runs.
void WavefrontBellBank::advanceControl (BellControl& control, int n) noexcept
{
    if (! control.isRamping())
        return;

    const int counter = control.getRampCounter();
    if (kRampSamples - 1 - counter < n)
    {
        control.landRamps();
        control.setRampCounter (kRampSamples);
    }
    else
    {
        control.setRampCounter (counter + n);
    }
}

void WavefrontBellBank::flush() noexcept
{
    if (queued == 0)
        return;

    BellRun run;
    run.numSamples = queued;
    run.segments = segments.data();
    run.segmentCount = segmentCount;
    runLanes (run, queuedMono);
    takeBackRamps();

    // The ramp that runs on into the next queue is the last tick's.
    auto& ramp = ticks[0];
    const BellTick* last = segments[(size_t) (segmentCount - 1)].tick;
    if (control.isRamping())
    {
        if (last != &ramp)
        {
            std::copy (std::begin (last->da1), std::end (last->da1), std::begin (ramp.da1));
            std::copy (std::begin (last->dm1), std::end (last->dm1), std::begin (ramp.dm1));
            std::copy (std::begin (last->landA1), std::end (last->landA1), std::begin (ramp.landA1));
            std::copy (std::begin (last->landM1), std::end (last->landM1), std::begin (ramp.landM1));
        }
    }
    else
    {
        std::fill (std::begin (ramp.da1), std::end (ramp.da1), 0.0);
        std::fill (std::begin (ramp.dm1), std::end (ramp.dm1), 0.0);
        std::copy (std::begin (lanes.a1), std::end (lanes.a1), std::begin (ramp.landA1));
        std::copy (std::begin (lanes.m1), std::end (lanes.m1), std::begin (ramp.landM1));
    }

    const double* out = output.data();
    for (int i = 0; i < pendingCount; ++i)
    {
        const auto& p = pending[(size_t) i];
        if (p.write)
            writeOutput (p.x0, p.x1, p.n, p.midSide, out + 2 * p.start);
    }

    dropQueue();
}

// A ramp still running after a run: its records take the lanes' values.
void WavefrontBellBank::takeBackRamps() noexcept
{
    if (control.getActiveCount() == 0)
        return;

    BellRecords& bells = control.records();
    for (size_t b = 0; b < (size_t) kBandCount; ++b)
    {
        for (size_t set = 0; set < (size_t) kSetCount; ++set)
        {
            const size_t i = set * kBandCount + b, lane = 2 * b + set;
            const bool r = bells.ramping[i];
            bells.a1[i] = r ? lanes.a1[lane] : bells.a1[i];
            bells.m1[i] = r ? lanes.m1[lane] : bells.m1[i];
            bells.a2[i] = r ? lanes.a2[lane] : bells.a2[i];
            bells.a3[i] = r ? lanes.a3[lane] : bells.a3[i];
        }
    }
}

void WavefrontBellBank::dropQueue() noexcept
{
    queued = 0;
    pendingCount = 0;
    segmentCount = 0;
}

void WavefrontBellBank::fillInput (const float* x0, const float* x1, int n, bool midSide, double* in) noexcept
{
    if (x1 == nullptr)
    {
        for (int i = 0; i < n; ++i)
        {
            in[2 * i] = (double) x0[i];
            in[2 * i + 1] = 0.0;
        }
    }
    else if (midSide)
    {
        for (int i = 0; i < n; ++i)
        {
            in[2 * i] = (double) ((x0[i] + x1[i]) * 0.5f);
            in[2 * i + 1] = (double) ((x0[i] - x1[i]) * 0.5f);
        }
    }
    else
    {
        for (int i = 0; i < n; ++i)
        {
            in[2 * i] = (double) x0[i];
            in[2 * i + 1] = (double) x1[i];
        }
    }
}

void WavefrontBellBank::writeOutput (float* x0, float* x1, int n, bool midSide, const double* out) noexcept
{
    if (x1 == nullptr)
    {
        for (int i = 0; i < n; ++i)
            x0[i] = (float) out[2 * i];
    }
    else if (midSide)
    {
        for (int i = 0; i < n; ++i)
        {
            const auto midOut = (float) out[2 * i];
            const auto sideOut = (float) out[2 * i + 1];
            x0[i] = midOut + sideOut;
            x1[i] = midOut - sideOut;
        }
    }
    else
    {
        for (int i = 0; i < n; ++i)
        {
            x0[i] = (float) out[2 * i];
            x1[i] = (float) out[2 * i + 1];
        }
    }
}

// The input is already in place; the output lands in `output`.
void WavefrontBellBank::runLanes (BellRun& run, bool mono) noexcept
{
    run.lanes = &lanes;
    run.input = input.data() + BellRun::kPad;
    run.output = output.data();
    run.plans = plans.data();

    // The run's first tick starts from where the lanes stand.
    std::copy (std::begin (lanes.a1), std::end (lanes.a1), std::begin (ticks[0].startA1));
    std::copy (std::begin (lanes.m1), std::end (lanes.m1), std::begin (ticks[0].startM1));

    // Mono runs set A only; set B's lanes ride along on silence and get their
    // states back afterwards.
    std::array<double, kBandCount> savedIc1, savedIc2;
    if (mono)
    {
        for (int b = 0; b < kBandCount; ++b)
        {
            savedIc1[(size_t) b] = lanes.ic1[2 * b + 1];
            savedIc2[(size_t) b] = lanes.ic2[2 * b + 1];
        }
    }

    kernels->runBells (run);

    if (mono)
    {
        for (int b = 0; b < kBandCount; ++b)
        {
            lanes.ic1[2 * b + 1] = savedIc1[(size_t) b];
            lanes.ic2[2 * b + 1] = savedIc2[(size_t) b];
        }
    }
}

void WavefrontBellBank::processVector (float* x0, float* x1, int n, bool midSide, bool write) noexcept
{
    if (lanesStale)
        syncLanes();

    // The same ramp schedule as stepping the reference sample by sample: steps
    // until the counter reaches the ramp length, then one landing.
    BellSegment segment;
    segment.tick = &ticks[0];
    if (control.isRamping())
    {
        segment.landAt = kRampSamples - 1 - control.getRampCounter();
        segment.stepCount = segment.landAt;
    }

    BellRun run;
    run.numSamples = n;
    run.segments = &segment;
    run.segmentCount = 1;

    fillInput (x0, x1, n, midSide, input.data() + BellRun::kPad);
    runLanes (run, x1 == nullptr);

    const bool wasRamping = control.isRamping();
    advanceControl (control, n);

    if (wasRamping)
    {
        takeBackRamps();

        // Landed lanes land on themselves from now on; only the increments go.
        if (! control.isRamping())
        {
            std::fill (std::begin (ticks[0].da1), std::end (ticks[0].da1), 0.0);
            std::fill (std::begin (ticks[0].dm1), std::end (ticks[0].dm1), 0.0);
        }
    }

    if (write)
        writeOutput (x0, x1, n, midSide, output.data());
}

//==============================================================================
// The plain chain, for CPUs without a kernel and as the benchmark's baseline.

float WavefrontBellBank::runChain (int set, float x) noexcept
{
    auto v = (double) x;
    const int base = set * kBandCount;

    const BellRecords& bells = control.records();

    for (int band = 0; band < kBandCount; ++band)
    {
        const auto i = (size_t) (base + band);
        const auto lane = (size_t) (2 * band + set);
        double& ic1eq = lanes.ic1[lane];
        double& ic2eq = lanes.ic2[lane];

        const double d = v - ic2eq;
        const double bp = bells.a1[i] * ic1eq + bells.a2[i] * d;
        const double lp = ic2eq + bells.a2[i] * ic1eq + bells.a3[i] * d;
        ic1eq = 2.0 * bp - ic1eq;
        ic2eq = 2.0 * lp - ic2eq;
        v = v + bells.m1[i] * bp;
    }

    return (float) v;
}

void WavefrontBellBank::processScalar (float* x0, float* x1, int n, bool midSide, bool write) noexcept
{
    for (int i = 0; i < n; ++i)
    {
        if (control.isRamping())
        {
            control.advanceRamps();
            lanesStale = true;
        }

        if (x1 == nullptr)
        {
            const float y = runChain (0, x0[i]);
            if (write)
                x0[i] = y;
        }
        else if (midSide)
        {
            const float mid = (x0[i] + x1[i]) * 0.5f;
            const float side = (x0[i] - x1[i]) * 0.5f;
            const float midOut = runChain (0, mid);
            const float sideOut = runChain (1, side);
            if (write)
            {
                x0[i] = midOut + sideOut;
                x1[i] = midOut - sideOut;
            }
        }
        else
        {
            const float left = runChain (0, x0[i]);
            const float right = runChain (1, x1[i]);
            if (write)
            {
                x0[i] = left;
                x1[i] = right;
            }
        }
    }
}

} // namespace vo::plugins::zel
