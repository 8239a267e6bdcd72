#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace vo::plugins::zel::ui
{

// Where the editor's tooltip layer looks for a widget's tooltip.
class WidgetTooltip
{
public:
    static constexpr const char* kProperty = "voTooltip";

    // Stores a non-empty tooltip on the component.
    static void store (juce::Component& component, const juce::String& tooltip);
};

} // namespace vo::plugins::zel::ui
