#pragma once

// Shared between the overlap compensator and its instruction-set-specific
// pass. Plain data only, like BellLanes.h: this header is included by code
// built for wider instruction sets.

#include "BandLayout.h"

namespace vo::plugins::zel
{

// What each bell takes out at its neighbours' centres, per 1 dB depth step,
// laid out for the pass: a row per step, read with the next one (or its
// slope) to interpolate between steps.
struct OverlapTables
{
    static constexpr int kReach = 4;                        // neighbours on each side
    static constexpr int kDepthSteps = (int) kMaxCutDb + 1; // 0 ... 30 dB in 1 dB steps
    static constexpr int kSlopedRow = 2 * kReach;
    // The nearest neighbour's steps padded to a power of two, the size of a
    // two-register permute table.
    static constexpr int kNearSteps = 32;

    // Per band, a row per step of what it takes out at the four bands below
    // (farthest first), the deepest step repeated once so that every step has
    // a next one.
    alignas (64) float below[kBandCount][(kDepthSteps + 1) * kReach];

    // Per band, a row per step of what it takes out at the four bands above
    // (nearest first), followed by the slopes towards the next step.
    alignas (64) float above[kBandCount][kDepthSteps * kSlopedRow];

    // The first entry of every above row on its own, then its slopes: what
    // the pass waits for from one band to the next. Each band's lie together,
    // so that they share no cache set with one another.
    alignas (64) float near[kBandCount][2 * kNearSteps];
};

} // namespace vo::plugins::zel
