#pragma once

#include "BandLayout.h"

#include <array>
#include <cstdint>

namespace vo::plugins::zel
{

// What the spectrum view draws: one snapshot of the engine, handed from the
// audio thread to the editor through DisplayExchange.
struct DisplayFrame
{
    enum Status : std::uint8_t
    {
        StatusFrozen = 1,
        StatusNoSidechainBus = 2,
        StatusAuditioning = 4,
        StatusNothingToCut = 8
    };

    std::array<float, kBandCount> scLevels {};  // source band levels, dB, -100 ... +40
    std::array<float, kBandCount> cut {};       // followed cut, dB, -30 ... 0
    std::array<float, kBandCount> bandGains {}; // compensated bell gains before pan, dB
    float lowCut = 20.0f;
    float highCut = 20000.0f;
    float sampleRate = 48000.0f;
    std::int32_t serial = 0;
    std::uint8_t status = 0;

    bool operator== (const DisplayFrame&) const = default;

    static DisplayFrame initial (float lowCutHz, float highCutHz, float rate) noexcept
    {
        DisplayFrame f;
        f.scLevels.fill (-100.0f);
        f.lowCut = lowCutHz;
        f.highCut = highCutHz;
        f.sampleRate = rate;
        return f;
    }
};

} // namespace vo::plugins::zel
