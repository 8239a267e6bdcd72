#include "CurveExchange.h"

namespace vo::plugins::zel
{

void CurveExchange::publish (const Curve& curve) noexcept
{
    slots[(size_t) writeSlot] = curve;
    const std::int32_t previous = exchange.exchange (writeSlot | kFreshBit, std::memory_order_acq_rel);
    writeSlot = previous & kSlotMask;
    published.store (true, std::memory_order_release);
}

bool CurveExchange::swapInFresh() noexcept
{
    if ((exchange.load (std::memory_order_acquire) & kFreshBit) == 0)
        return false;

    const std::int32_t previous = exchange.exchange (readSlot, std::memory_order_acq_rel);
    readSlot = previous & kSlotMask;
    return true;
}

bool CurveExchange::takeFresh (Curve& out) noexcept
{
    if (! swapInFresh())
        return false;

    out = slots[(size_t) readSlot];
    return true;
}

CurveExchange::Curve CurveExchange::latest() noexcept
{
    swapInFresh();
    return slots[(size_t) readSlot];
}

} // namespace vo::plugins::zel
