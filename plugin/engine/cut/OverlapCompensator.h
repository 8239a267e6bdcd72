#pragma once

#include "BandLayout.h"
#include "cut/OverlapTables.h"
#include "kernels/EngineKernels.h"

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
    static constexpr int kReach = OverlapTables::kReach;  // neighbours on each side
    static constexpr int kSlots = 2 * kReach + 1;
    static constexpr int kDepthSteps = OverlapTables::kDepthSteps;

    void prepare (double sampleRate) noexcept;

    // dB that a bell on `band` set to -depthDb takes out at the centre of
    // band + slot - kReach.
    float response (int band, int slot, int depthDb) const noexcept
    {
        const auto b = (size_t) band;
        if (slot == kReach)
            return centre[b][(size_t) depthDb];
        return slot < kReach ? tables.below[b][depthDb * kReach + slot]
                             : tables.above[b][depthDb * OverlapTables::kSlopedRow + slot - kReach - 1];
    }

    // One Gauss-Seidel pass over `gains`; returns true when some gain still moved
    // by more than the convergence tolerance (or was cleared).
    bool compensate (const std::array<float, kBandCount>& wanted, std::array<float, kBandCount>& gains) const noexcept;

    // The same pass, with the same bits, in the kernels' instruction set where
    // they have a faster one.
    bool compensate (const EngineKernels& kernels, const std::array<float, kBandCount>& wanted,
                     std::array<float, kBandCount>& gains) const noexcept;

private:
    OverlapTables tables {};
    std::array<std::array<float, kDepthSteps>, kBandCount> centre {};
};

} // namespace vo::plugins::zel
