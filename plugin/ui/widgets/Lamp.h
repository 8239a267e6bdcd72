#pragma once

#include "Glow.h"
#include "RoundArtwork.h"

#include "gui/ImageShadow.h"
#include "gui/Theme.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace vo::plugins::zel::ui
{

// An amber indicator lamp that fades between dark and lit. It only shows;
// clicks go through it to whatever lies below.
class Lamp : public juce::Component
{
public:
    static constexpr float kDefaultFill = 0.6875f;

    explicit Lamp (const vo::gui::Theme& theme);

    void setDiameter (float diameter);
    void setLit (bool lit, bool immediately);
    void stepGlow();
    void stepGlowAt (std::uint32_t nowMs);

    float getGlow() const noexcept { return glow.getValue(); }

    void paint (juce::Graphics& g) override;

private:
    void paintFallback (juce::Graphics& g, juce::Point<float> centre, float radius) const;

    vo::gui::ImageShadow contactShade;
    RoundArtwork lit;
    RoundArtwork dark;
    float diameter = 0.0f;
    Glow glow;
};

} // namespace vo::plugins::zel::ui
