#pragma once

#include "BandLayout.h"

#include <cstddef>
#include <array>

namespace vo::plugins::zel
{

// Neighbouring bells overlap: a bell takes some dB out at its neighbours'
// centres too. This solves, one pass per tick, for the bell gains whose
// combined response at each band centre equals the wanted cut.
class OverlapCompensator
{
public:
    static constexpr int kReach = 4;                      // neighbours on each side
    static constexpr int kSlots = 2 * kReach + 1;
    static constexpr int kDepthSteps = (int) kMaxCutDb + 1; // 0 ... 30 dB in 1 dB steps

    void prepare (double sampleRate) noexcept;

    // dB that a bell on `band` set to -depthDb takes out at the centre of
    // band + slot - kReach.
    float response (int band, int slot, int depthDb) const noexcept
    {
        const auto b = (size_t) band, l = (size_t) depthDb;
        if (slot == kReach)
            return centre[b][l];
        return slot < kReach ? below[b][l * kReach + (size_t) slot] : above[b][l * kSlopedRow + (size_t) (slot - kReach - 1)];
    }

    // One Gauss-Seidel pass over `gains`; returns true when some gain still moved
    // by more than the convergence tolerance (or was cleared).
    bool compensate (const std::array<float, kBandCount>& wanted, std::array<float, kBandCount>& gains) const noexcept;

private:
    // A row per depth step of what a bell takes out at its four neighbours on
    // one side (nearest last below, nearest first above), the deepest step
    // repeated once so that every step has a next one to interpolate towards:
    // the interpolation for all four neighbours is then one vector operation
    // on two adjacent rows.
    using Reach = std::array<float, (kDepthSteps + 1) * kReach>;

    // The same above, each row followed by its slope (the next row less it),
    // which a pass would otherwise work out while it waits.
    static constexpr size_t kSlopedRow = 2 * kReach;
    using SlopedReach = std::array<float, kDepthSteps * kSlopedRow>;

    std::array<Reach, kBandCount> below {};
    std::array<SlopedReach, kBandCount> above {};
    std::array<std::array<float, kDepthSteps>, kBandCount> centre {};
};

} // namespace vo::plugins::zel
