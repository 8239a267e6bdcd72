#pragma once

#include <juce_graphics/juce_graphics.h>

namespace vo::gui
{

// The embedded picture stored under `fileName` ("logomoon.png"), decoded once
// per process through the framework's image cache; an invalid image when the
// build carries no such file.
juce::Image embeddedImage (const juce::String& fileName);

} // namespace vo::gui
