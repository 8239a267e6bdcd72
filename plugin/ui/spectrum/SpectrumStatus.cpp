#include "SpectrumStatus.h"

#include <algorithm>
#include <utility>

namespace vo::plugins::zel::ui
{

namespace
{

bool has (std::uint8_t status, DisplayFrame::Status bit) noexcept
{
    return (status & bit) != 0;
}

// 0 means "not quiet", so a counter that reads 0 (or 1) starts the wait at 1.
constexpr std::uint32_t kFirstQuietTime = 1;

} // namespace

SpectrumStatus::SpectrumStatus (Clock clockToUse) : clock (std::move (clockToUse))
{
}

SpectrumStatus::Clock SpectrumStatus::defaultClock()
{
    return [] { return juce::Time::getMillisecondCounter(); };
}

void SpectrumStatus::noteFrame (std::uint8_t newStatus)
{
    status = newStatus;
    if (! has (status, DisplayFrame::StatusNothingToCut))
        quietSince = 0;
    else if (quietSince == 0)
        quietSince = std::max (clock(), kFirstQuietTime);
}

SpectrumStatus::Index SpectrumStatus::currentIndex() const
{
    if (has (status, DisplayFrame::StatusAuditioning))
        return Auditioning;
    if (has (status, DisplayFrame::StatusFrozen))
        return Frozen;
    if (has (status, DisplayFrame::StatusNothingToCut) && quietSince != 0 && clock() - quietSince >= kQuietMs)
        return NoSignal;
    if (has (status, DisplayFrame::StatusNoSidechainBus))
        return NoBus;
    return Listening;
}

} // namespace vo::plugins::zel::ui
