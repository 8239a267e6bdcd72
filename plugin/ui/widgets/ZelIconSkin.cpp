#include "ZelIconSkin.h"

namespace vo::plugins::zel::ui
{

ZelIconSkin::ZelIconSkin (const vo::gui::Theme& themeToUse)
    : theme (&themeToUse),
      controlShade (themeToUse.controlShadow),
      contactShade (themeToUse.knobContactShadow)
{
}

void ZelIconSkin::paintButton (juce::Graphics& g, juce::Rectangle<float> circle, bool down, bool)
{
    paintUnlit (g, circle, down, *theme, images, controlShade, contactShade);
}

void ZelIconSkin::paintUnlit (juce::Graphics& g, juce::Rectangle<float> circle, bool down,
                              const vo::gui::Theme& colours, ButtonArt& art, vo::gui::ImageShadow& controlShadow,
                              vo::gui::ImageShadow& contactShadow)
{
    const auto drawn = circle.translated (0.0f, down ? 1.0f : 0.0f);
    const auto centre = drawn.getCentre();
    const auto radius = drawn.getWidth() / 2.0f;
    auto& off = art.getOff();
    if (off.exists() && drawn.getWidth() >= ButtonArt::kSmallestDiameter)
    {
        const auto area = off.boundsFor (centre, radius);
        const auto& picture = off.scaledFor (g, centre, radius);
        controlShadow.draw (g, picture, area, 0);
        contactShadow.draw (g, picture, area, 0);
    }
    art.draw (g, drawn, 0.0f, false, colours.accentLine);
    if (down)
        ButtonArt::drawPressed (g, drawn);
}

} // namespace vo::plugins::zel::ui
