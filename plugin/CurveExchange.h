#pragma once

#include "engine/BandLayout.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace vo::plugins::zel
{

// Hands whole cut curves from one thread to another without locks: a triple
// buffer with one writer thread and one reader thread. The writer's slot, the
// reader's slot and the slot in the exchange word are always a permutation of
// 0, 1, 2, so neither side ever touches a slot the other is copying.
class CurveExchange
{
public:
    using Curve = std::array<float, kBandCount>;

    // Writer thread.
    void publish (const Curve& curve) noexcept;

    // Reader thread. Copies the newest curve and returns true when one was
    // published since the last call; returns false and leaves `out` alone
    // otherwise.
    bool takeFresh (Curve& out) noexcept;

    // Reader thread. The newest curve published so far (all zeros before the
    // first publish).
    Curve latest() noexcept;

    // Any thread: whether anything has been published yet.
    bool hasCurve() const noexcept { return published.load (std::memory_order_acquire); }

private:
    static constexpr std::int32_t kFreshBit = 4;
    static constexpr std::int32_t kSlotMask = 3;

    bool swapInFresh() noexcept;

    std::array<Curve, 3> slots {};
    std::atomic<std::int32_t> exchange { 1 };
    std::atomic<bool> published { false };
    int writeSlot = 0;
    int readSlot = 2;
};

} // namespace vo::plugins::zel
