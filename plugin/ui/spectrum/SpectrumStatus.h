#pragma once

#include "plugin/engine/display/DisplayFrame.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <functional>

namespace vo::plugins::zel::ui
{

// Which status line the spectrum view shows. A silent sidechain is only
// reported once it has stayed silent for a while, so the line does not
// flicker between two kicks.
class SpectrumStatus
{
public:
    enum Index
    {
        Auditioning = 0,
        Frozen = 1,
        NoSignal = 2,
        NoBus = 3,
        Listening = 4,
        Count = 5
    };

    static constexpr std::uint32_t kQuietMs = 1500;

    // Milliseconds from any fixed origin; wraps like the framework's counter.
    using Clock = std::function<std::uint32_t()>;

    explicit SpectrumStatus (Clock clock = defaultClock());

    // Notes the status bits of a newly taken frame.
    void noteFrame (std::uint8_t status);

    // The status line to show now for the last noted frame.
    Index currentIndex() const;

    std::uint32_t getQuietSince() const noexcept { return quietSince; }

    static Clock defaultClock();

private:
    Clock clock;
    std::uint8_t status = 0;
    std::uint32_t quietSince = 0; // 0: not quiet
};

} // namespace vo::plugins::zel::ui
