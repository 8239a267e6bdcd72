#pragma once

#include "Theme.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace vo::gui
{

// A caption between two hairline rules, heading a group of controls.
class SectionLabel : public juce::Component
{
public:
    SectionLabel (const juce::String& text, const Theme& theme);

    const juce::String& getText() const noexcept { return text; }
    void paint (juce::Graphics& g) override;

    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    juce::String text;
    const Theme theme;
};

} // namespace vo::gui
