#include "display/DisplayExchange.h"

namespace vo::plugins::zel
{

DisplayExchange::DisplayExchange() noexcept
{
    slots.fill (DisplayFrame::initial (20.0f, 20000.0f, 48000.0f));
}

void DisplayExchange::publish (const DisplayFrame& frame) noexcept
{
    slots[(size_t) writeSlot] = frame;
    const std::int32_t previous = exchange.exchange (writeSlot | kFreshBit, std::memory_order_acq_rel);
    writeSlot = previous & kSlotMask;
}

void DisplayExchange::read (DisplayFrame& out) noexcept
{
    if ((exchange.load (std::memory_order_acquire) & kFreshBit) != 0)
    {
        const std::int32_t previous = exchange.exchange (readSlot, std::memory_order_acq_rel);
        readSlot = previous & kSlotMask;
    }

    out = slots[(size_t) readSlot];
}

} // namespace vo::plugins::zel
