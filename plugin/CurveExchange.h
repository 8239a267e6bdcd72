#pragma once

#include "engine/BandLayout.h"
#include "engine/display/TripleBuffer.h"

#include <array>
#include <atomic>

namespace vo::plugins::zel
{

// Hands whole cut curves from one thread to another without locks, and says
// whether any curve has been handed over yet.
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
    TripleBuffer<Curve> curves;
    std::atomic<bool> published { false };
};

} // namespace vo::plugins::zel
