#pragma once

#include <juce_graphics/juce_graphics.h>

namespace vo::plugins::zel::ui
{

// The editor's embedded pictures, looked up by resource name. A missing
// picture is an invalid image: every widget then draws its fallback.
class Artwork
{
public:
    static juce::Image load (const char* resourceName);
};

} // namespace vo::plugins::zel::ui
