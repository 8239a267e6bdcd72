#pragma once

#include "plugin/Processor.h"

namespace vo::tools
{

// The scene the editor's pictures show: the demo's pad with its kick-and-bass
// sidechain played through the processor (amount 80 %, low cut 40 Hz, high
// cut 9 kHz) until just after the fifth kick, so that the spectrum view shows
// what the engine handed over. `freezeAtTheEnd` switches freeze on for the
// last two blocks.
struct DemoScene
{
    static constexpr int kBlock = 512;
    static constexpr double kPlaySeconds = 2.04;

    static void play (plugins::zel::Processor& processor, bool freezeAtTheEnd);
};

} // namespace vo::tools
