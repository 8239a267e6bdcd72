#pragma once

#include "display/DisplayFrame.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace vo::plugins::zel
{

// Lock-free triple buffer: the audio thread publishes whole frames, the editor
// takes the newest one. The writer slot, the reader slot and the slot in the
// exchange word are always a permutation of 0, 1, 2, so neither side ever
// touches the slot the other is copying.
class DisplayExchange
{
public:
    DisplayExchange() noexcept;

    // Audio thread.
    void publish (const DisplayFrame& frame) noexcept;

    // Editor thread. Returns the newest published frame (or the previous one
    // again when nothing new was published).
    void read (DisplayFrame& out) noexcept;

private:
    static constexpr std::int32_t kFreshBit = 4;
    static constexpr std::int32_t kSlotMask = 3;

    std::array<DisplayFrame, 3> slots;
    std::atomic<std::int32_t> exchange { 1 };
    int writeSlot = 0;
    int readSlot = 2;
};

} // namespace vo::plugins::zel
