#pragma once

#include <cstdint>

namespace vo::plugins::zel
{

// Per-block parameter snapshot handed to the engine by the processor.
struct EngineSettings
{
    float amount = 0.0f;        // 0..1
    float lowCut = 20.0f;       // Hz
    float highCut = 20000.0f;   // Hz
    bool freeze = false;
    float attack = 10.0f;       // ms
    float release = 150.0f;     // ms
    std::int32_t mode = 0;      // 0 = left/right, 1 = mid/side
    float pan = 0.0f;           // -1..+1
    bool scAudition = false;
    float smooth = 0.3f;        // 0..1
};

} // namespace vo::plugins::zel
