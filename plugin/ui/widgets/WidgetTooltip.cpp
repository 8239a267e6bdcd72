#include "WidgetTooltip.h"

namespace vo::plugins::zel::ui
{

void WidgetTooltip::store (juce::Component& component, const juce::String& tooltip)
{
    if (tooltip.isNotEmpty())
        component.getProperties().set (kProperty, tooltip);
}

} // namespace vo::plugins::zel::ui
