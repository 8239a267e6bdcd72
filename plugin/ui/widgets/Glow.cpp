#include "Glow.h"

#include <algorithm>

namespace vo::plugins::zel::ui
{

bool Glow::jump() noexcept
{
    const bool changed = value != target;
    value = target;
    return changed;
}

bool Glow::step (std::uint32_t nowMs) noexcept
{
    const auto elapsed = std::min (nowMs - lastStep, kLongestStepMs);
    lastStep = nowMs;
    const auto move = static_cast<float> (elapsed) / kFadeMs;
    const auto before = value;
    value = value < target ? std::min (value + move, target) : std::max (value - move, target);
    return value != before;
}

} // namespace vo::plugins::zel::ui
