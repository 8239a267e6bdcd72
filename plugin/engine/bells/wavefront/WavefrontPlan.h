#pragma once

// The plan of a run: how each tick's ramp is clamped to its segment, and
// where each vector's lanes stand in the segments over one group of rows,
// which decides the path the group takes (see WavefrontShape.h).

#include "bells/wavefront/WavefrontShape.h"

namespace vo::plugins::zel
{
namespace
{

// A tick whose ramps (if any) step to its second-to-last sample and land on
// its last, as a full tick does, long enough that the groups around its
// end see nothing else.
template <int W>
inline bool Wavefront<W>::endsPlainly (const BellSegment& seg, int length) noexcept
{
    const bool ramps = seg.stepCount == length - 1 && seg.landAt == length - 1;
    const bool none = seg.stepCount == 0 && seg.landAt < 0;
    return length >= 2 * G && (ramps || none);
}

// A tick whose first G samples all step (or that has no ramps).
template <int W>
inline bool Wavefront<W>::startsPlainly (const BellSegment& seg, int length) noexcept
{
    const bool steps = seg.stepCount >= G || (seg.stepCount == 0 && seg.landAt < 0);
    return length >= G && steps && ! (seg.landAt >= 0 && seg.landAt < G);
}

// Where segment k of a run ends: where the next begins, or the run's end.
template <int W>
inline int Wavefront<W>::segmentEnd (const BellRun& run, int k) noexcept
{
    return k + 1 < run.segmentCount ? run.segments[k + 1].start : run.numSamples;
}

template <int W>
inline auto Wavefront<W>::spanOf (const BellSegment& seg, int end) noexcept -> Span
{
    const int length = end - seg.start;
    Span span;
    span.start = seg.start;
    span.end = end;
    span.step = seg.stepCount < length ? seg.stepCount : length;
    span.land = seg.landAt >= 0 && seg.landAt < length ? seg.landAt : kNever;
    span.endsPlainly = endsPlainly (seg, length);
    span.startsPlainly = startsPlainly (seg, length);
    return span;
}

// Where the vector whose group starts at row R stands in segment k, the
// one that holds row R (the first for rows before the run, the last for
// rows after it).
template <int W>
inline auto Wavefront<W>::planFor (const BellSegment* segments, const Span* spans, int k, int R) noexcept -> Plan
{
    const Span& span = spans[k];
    const bool entering = k > 0 && R == span.start;

    Plan plan;
    plan.cur = segments[k].tick;
    plan.prev = entering ? segments[k - 1].tick : plan.cur;
    plan.segStart = span.start;
    plan.stepCur = span.step;
    plan.landCur = span.land;
    plan.stepPrev = 0;
    plan.landPrev = kNever;
    plan.lenPrev = 0;
    plan.crossLimit = kNever;
    plan.edgeOffset = 0;
    plan.enters = entering;

    if (entering)
    {
        const Span& before = spans[k - 1];
        plan.stepPrev = before.step;
        plan.landPrev = before.land;
        plan.lenPrev = span.start - before.start;
        plan.crossLimit = 0;
        plan.motion = before.endsPlainly && span.startsPlainly ? tickEdge : crossing;
        return plan;
    }

    // The group just before the next tick, where the ending tick lands; the
    // run's last tick ends the same way (where the next tick will begin).
    if (R == span.end - G && span.endsPlainly)
    {
        plan.edgeOffset = -G;
        plan.motion = tickEdge;
        return plan;
    }

    // Counts of this vector's lanes over the group: lo ... hi.
    const long long lo = R - span.start - (G - 1), hi = R - span.start + (G - 1);
    const bool anySteps = (lo > 0 ? lo : 0) < (hi + 1 < plan.stepCur ? hi + 1 : plan.stepCur);
    const bool anyLanding = plan.landCur >= lo && plan.landCur <= hi;
    if (! anySteps && ! anyLanding)
        plan.motion = still;
    else if (lo >= 0 && hi < plan.stepCur && ! anyLanding)
        plan.motion = stepping;
    else
        plan.motion = scheduled;
    return plan;
}

// The shape of a run of one tick, if its groups at the ends can take fixed
// lane patterns: whole groups, at least two, and a schedule that does the
// same from the first group to the last but one.
template <int W>
inline auto Wavefront<W>::tickShapeOf (const BellRun& run) noexcept -> TickShape
{
    const int n = run.numSamples;
    if (run.segmentCount != 1 || n % G != 0 || n < 2 * G)
        return anyShape;

    const Span span = spanOf (run.segments[0], n);
    if (span.step == 0 && span.land == kNever)
        return holding;
    if (span.step == n && span.land == kNever)
        return continuing;
    if (span.step == n - 1 && span.land == n - 1)
        return endingPlainly;
    return anyShape;
}

// Whether no coefficient moves anywhere in the run: no segment ramps or
// lands, and every tick after the first starts where the lanes stand (the
// same bits), which is how a settled cut queues its ticks. Such a run is one
// still stretch, whatever its ticks.
template <int W>
inline bool Wavefront<W>::holdsStill (const BellRun& run) noexcept
{
    for (int k = 0; k < run.segmentCount; ++k)
        if (run.segments[k].stepCount > 0 || run.segments[k].landAt >= 0)
            return false;

    const BellLanes& lanes = *run.lanes;
    for (int k = 1; k < run.segmentCount; ++k)
    {
        const BellTick& tick = *run.segments[k].tick;
        Mask differs {};
        for (int o = 0; o < BellLanes::kLanes; o += W)
            differs |= (load (tick.startA1 + o) != load (lanes.a1 + o)) | (load (tick.startM1 + o) != load (lanes.m1 + o));
        for (int lane = 0; lane < W; ++lane)
            if (differs[lane] != 0)
                return false;
    }
    return true;
}

} // namespace
} // namespace vo::plugins::zel
