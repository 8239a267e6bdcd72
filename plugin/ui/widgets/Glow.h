#pragma once

#include <cstdint>

namespace vo::plugins::zel::ui
{

// The fade of a two-state widget: the current value moves toward the target
// (0 or 1) by the time since the previous step over 120 ms, so a full fade
// takes 120 ms however often the editor steps it.
class Glow
{
public:
    static constexpr float kFadeMs = 120.0f;
    static constexpr std::uint32_t kLongestStepMs = 200;

    explicit Glow (std::uint32_t nowMs) noexcept : lastStep (nowMs) {}

    void setTarget (bool lit) noexcept { target = lit ? 1.0f : 0.0f; }

    // Jumps to the target; true when the value changed.
    bool jump() noexcept;

    // One step at `nowMs`; true when the value changed (the widget repaints then).
    bool step (std::uint32_t nowMs) noexcept;

    float getValue() const noexcept { return value; }
    float getTarget() const noexcept { return target; }

private:
    float value = 0.0f;
    float target = 0.0f;
    std::uint32_t lastStep;
};

} // namespace vo::plugins::zel::ui
