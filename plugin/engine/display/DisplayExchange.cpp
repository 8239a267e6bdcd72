#include "display/DisplayExchange.h"

namespace vo::plugins::zel
{

DisplayExchange::DisplayExchange() noexcept
    : frames (DisplayFrame::initial (20.0f, 20000.0f, 48000.0f))
{
}

void DisplayExchange::publish (const DisplayFrame& frame) noexcept
{
    frames.publish (frame);
}

void DisplayExchange::read (DisplayFrame& out) noexcept
{
    frames.takeFresh();
    out = frames.current();
}

} // namespace vo::plugins::zel
