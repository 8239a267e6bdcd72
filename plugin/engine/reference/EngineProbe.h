#pragma once

// What tests and benchmarks look at or set inside the engine that the product
// never asks for from outside it. Only tests and benchmarks link it.

#include "CarveEngine.h"
#include "kernels/EngineKernels.h"

namespace vo::plugins::zel
{

// Reaches into a CarveEngine, which names it as a friend: its settings, its
// bank (whose bells can be pinned to one kernel), its analyser, where the next
// tick falls and what prepare made of the rate and block size it was given.
struct EngineProbe
{
    static const EngineSettings& settings (const CarveEngine& engine) noexcept { return engine.settings; }
    static CutBank& cutBank (CarveEngine& engine) noexcept { return engine.bank; }
    static const CutBank& cutBank (const CarveEngine& engine) noexcept { return engine.bank; }
    static const SidechainAnalyser& analyser (const CarveEngine& engine) noexcept { return engine.analyser; }

    // Samples since the last tick: 0 when the next sample starts a tick.
    static int gridPhase (const CarveEngine& engine) noexcept { return engine.gridPhase; }

    static double sampleRate (const CarveEngine& engine) noexcept { return engine.sampleRate; }
    static int maxBlockSize (const CarveEngine& engine) noexcept { return engine.maxBlockSize; }
};

// A kernel's name, for test names and benchmark labels.
const char* nameOfKernel (BellKernel kernel) noexcept;

} // namespace vo::plugins::zel
