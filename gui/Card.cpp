#include "Card.h"

namespace vo::gui
{

namespace
{

constexpr float kOutlineWidth = 1.0f;

} // namespace

void drawCard (juce::Graphics& g, juce::Rectangle<float> bounds, const Theme& theme,
               melatonin::internal::CachedShadows* shadow)
{
    juce::Path card;
    card.addRoundedRectangle (bounds, theme.radiusLarge);

    if (shadow != nullptr)
        shadow->render (g, card);

    g.setColour (theme.cardBackground);
    g.fillPath (card);

    g.setColour (theme.hairline);
    g.drawRoundedRectangle (bounds.reduced (kOutlineWidth / 2.0f), theme.radiusLarge, kOutlineWidth);
}

} // namespace vo::gui
