#pragma once

#include "CutMap.h"
#include "RenderOptions.h"

#include <functional>

namespace vo::tools
{

struct RenderReport
{
    double audioSeconds = 0.0;
    double wallSeconds = 0.0;
    float peakCutDb = 0.0f;
    int peakCutBand = -1;
    juce::int64 frames = 0;
};

// Runs the real plug-in processor over audio files, block by block, as a host
// would. The output appears only when everything succeeded: it is written to a
// temporary file beside it and moved into place at the end.
class Renderer
{
public:
    using Progress = std::function<void (double fraction)>;

    // Returns false with a one-line reason in `error`.
    static bool render (const RenderOptions& options, RenderReport& report, CutMap* cutMap,
                        juce::String& error, const Progress& progress = {});

    static bool isSameFile (const juce::File& a, const juce::File& b);
};

} // namespace vo::tools
