#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace vo::plugins::zel::ui
{

// The translucent layer that dims the header while a panel covers the rest
// of the editor. Only its top corners are rounded, so that it follows the
// window's rounded top and meets the panel below without a gap. It never
// takes clicks: it only dims.
class HeaderVeil : public juce::Component
{
public:
    HeaderVeil();

    void setCornerRadius (float radius);
    void setVeilColour (juce::Colour newColour);

    float getCornerRadius() const noexcept { return cornerRadius; }
    juce::Colour getVeilColour() const noexcept { return colour; }

    void paint (juce::Graphics& g) override;

private:
    float cornerRadius = 0.0f;
    juce::Colour colour;
};

} // namespace vo::plugins::zel::ui
