#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace vo::plugins::zel
{

// Lock-free hand-over of whole values from one writer thread to one reader
// thread. The writer's slot, the reader's slot and the slot in the exchange
// word are always a permutation of 0, 1, 2, so neither side ever touches a
// slot the other is copying. Neither side allocates, locks or waits.
template <typename Value>
class TripleBuffer
{
public:
    TripleBuffer() = default;
    explicit TripleBuffer (const Value& initial) noexcept { slots.fill (initial); }

    // Writer thread.
    void publish (const Value& value) noexcept
    {
        slots[(size_t) writeSlot] = value;
        const std::int32_t previous = exchange.exchange (writeSlot | kFreshBit, std::memory_order_acq_rel);
        writeSlot = previous & kSlotMask;
    }

    // Reader thread. Takes the newest value if one was published since the
    // last call and says whether it did; `current` then refers to it.
    bool takeFresh() noexcept
    {
        if ((exchange.load (std::memory_order_acquire) & kFreshBit) == 0)
            return false;

        const std::int32_t previous = exchange.exchange (readSlot, std::memory_order_acq_rel);
        readSlot = previous & kSlotMask;
        return true;
    }

    // Reader thread: the value taken last (the initial one before any).
    const Value& current() const noexcept { return slots[(size_t) readSlot]; }

private:
    static constexpr std::int32_t kFreshBit = 4;
    static constexpr std::int32_t kSlotMask = 3;

    std::array<Value, 3> slots {};
    std::atomic<std::int32_t> exchange { 1 };
    int writeSlot = 0;
    int readSlot = 2;
};

} // namespace vo::plugins::zel
