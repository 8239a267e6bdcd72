#pragma once

// Parameter and state access in plain units, as the tests drive the processor.

#include "plugin/Processor.h"

namespace vo::test
{

inline void setPlain (vo::plugins::zel::Processor& p, const char* id, float plainValue)
{
    auto& parameter = p.getStateManager().param (id);
    parameter.setValueNotifyingHost (parameter.convertTo0to1 (plainValue));
}

inline float plain (vo::plugins::zel::Processor& p, const char* id)
{
    auto& parameter = p.getStateManager().param (id);
    return parameter.convertFrom0to1 (parameter.getValue());
}

inline juce::MemoryBlock stateOf (vo::plugins::zel::Processor& p)
{
    juce::MemoryBlock block;
    p.getStateInformation (block);
    return block;
}

} // namespace vo::test
