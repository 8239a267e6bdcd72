#pragma once

// Shared by the fuzz targets: JUCE's message system up once per process, a
// private home folder, and the invariants every accepted input must keep.

#include "plugin/Processor.h"

#include <juce_events/juce_events.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace vo::fuzz
{

// The framework and the processor under test are made once and never torn
// down: the fuzzer leaves through exit(), and the framework's own statics may
// already be gone by the time a static of ours would shut it down.
inline void startJuceOnce()
{
    static bool started = [] {
        char pattern[] = "/tmp/zel-fuzz-home-XXXXXX";
        if (const char* home = mkdtemp (pattern))
            setenv ("HOME", home, 1);
        static auto* juce = new juce::ScopedJuceInitialiser_GUI();
        return juce != nullptr;
    }();
    (void) started;
}

inline vo::plugins::zel::Processor& processorForTheWholeRun()
{
    startJuceOnce();
    static auto* processor = new vo::plugins::zel::Processor();
    return *processor;
}

inline std::vector<float> parameterValues (juce::AudioProcessor& p)
{
    std::vector<float> values;
    for (auto* parameter : p.getParameters())
        values.push_back (parameter->getValue());
    return values;
}

// Every parameter finite and within its normalised range.
inline void checkParametersSane (juce::AudioProcessor& p)
{
    for (auto* parameter : p.getParameters())
    {
        const float v = parameter->getValue();
        if (! std::isfinite (v) || v < 0.0f || v > 1.0f)
            std::abort();
    }
}

inline void checkUnchanged (juce::AudioProcessor& p, const std::vector<float>& before)
{
    if (parameterValues (p) != before)
        std::abort();
}

} // namespace vo::fuzz
