#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace vo::test
{

// Renders into an image without a window: the graphics context carries the
// requested scale as its transform, so it reports that physical pixel scale
// exactly as a window on such a display would.
class PictureRenderer
{
public:
    using Drawing = std::function<void (juce::Graphics&)>;

    // A transparent picture of width × height logical pixels at `scale`.
    static juce::Image ofDrawing (int width, int height, float scale, const Drawing& draw);

    // The component with its children, at its own size.
    static juce::Image ofComponent (juce::Component& component, float scale);
};

} // namespace vo::test
