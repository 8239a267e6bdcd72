// Fuzzes the plug-in state a host hands back: a rejected state leaves every
// parameter as it was, an accepted one yields only finite, in-range values.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& processor = vo::fuzz::processorForTheWholeRun();

    const auto before = vo::fuzz::parameterValues (processor);
    const bool accepted = processor.getStateManager().readState (data, (int) std::min<size_t> (size, 1 << 20));
    if (accepted)
        vo::fuzz::checkParametersSane (processor);
    else
        vo::fuzz::checkUnchanged (processor, before);

    // Whatever came in, the state written now reads back.
    juce::MemoryBlock written;
    processor.getStateInformation (written);
    if (! processor.getStateManager().readState (written.getData(), (int) written.getSize()))
        std::abort();
    return 0;
}
