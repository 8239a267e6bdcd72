// Fuzzes the editor's "ui-scale.txt" together with the scale stored in the
// plug-in state: whatever the bytes, an editor opens at a finite scale within
// its limits, and a file it does not accept leaves the state's scale (clamped).
//
// Input layout: the first four bytes are the state's scale as raw float bits
// (NaN and infinities included); the rest is the file.

#include "FuzzSupport.h"

#include "gui/EditorShell.h"

#include <cmath>
#include <cstring>

namespace
{

using vo::gui::EditorShell;

void require (bool condition)
{
    if (! condition)
        std::abort();
}

const juce::File& fileForTheWholeRun()
{
    vo::fuzz::startJuceOnce();
    static const auto file = juce::File::createTempFile ("zel-fuzz-ui-scale.txt");
    return file;
}

float clampedStateScale (float stateScale)
{
    return EditorShell::startingScaleFor (stateScale, juce::File());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size < sizeof (float))
        return 0;
    float stateScale = 0.0f;
    std::memcpy (&stateScale, data, sizeof (float));

    const auto& file = fileForTheWholeRun();
    require (file.replaceWithData (data + sizeof (float), size - sizeof (float)));

    const float scale = EditorShell::startingScaleFor (stateScale, file);
    require (std::isfinite (scale));
    require (scale >= EditorShell::kMinimumScale && scale <= EditorShell::kMaximumScale);

    const auto fromText = EditorShell::scaleForText (file.loadFileAsString());
    if (! fromText.has_value() || file.getSize() > 64)
        require (scale == clampedStateScale (stateScale));
    return 0;
}
