// Fuzzes user preset files: loading any file never crashes and leaves only
// finite, in-range parameter values; a file that does not parse changes nothing.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& processor = vo::fuzz::processorForTheWholeRun();
    auto& presets = processor.getPresetManager();

    static const juce::File file = [&] {
        presets.getPresetFolder().createDirectory();
        return presets.getPresetFolder().getChildFile ("Fuzz.vopreset");
    }();
    file.replaceWithData (data, size);

    const auto before = vo::fuzz::parameterValues (processor);
    const bool loaded = presets.loadPreset ("Fuzz");
    if (loaded)
        vo::fuzz::checkParametersSane (processor);
    else
        vo::fuzz::checkUnchanged (processor, before);
    return 0;
}
