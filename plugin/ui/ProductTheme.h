#pragma once

#include "gui/Theme.h"

namespace vo::plugins::zel::ui
{

// ZEL's palette: warm terracotta surfaces, dark chocolate controls, cream
// text and an amber accent. The editor hands exactly this theme to its shell.
inline vo::gui::Theme productTheme()
{
    using juce::Colour;
    const Colour cream { 0xffe8e2c4 };
    const Colour amber { 0xfff4bb3b };
    const Colour black { 0xff000000 };

    vo::gui::Theme theme;
    theme.background = Colour { 0xffc56c64 };
    theme.barBackground = Colour { 0xffbc5d55 };
    theme.panelBackground = Colour { 0xffb85a52 };
    theme.hairline = cream.withAlpha (0.35f);
    theme.cardBackground = Colour { 0xff1c1614 };
    theme.extraColour1 = Colour { 0xff4a3418 };
    theme.extraColour2 = Colour { 0xff6b4a1e };
    theme.extraColour3 = Colour { 0xffe8e2c4 };
    theme.extraColour4 = Colour { 0xff2a211e };
    theme.extraColour5 = Colour { 0xff4a3e39 };
    theme.surface = Colour { 0xff2a1f1d };
    theme.outline = Colour { 0xff453330 };
    theme.text = cream;
    theme.labelText = Colour { 0xffd4d3b1 };
    theme.textDim = cream.withAlpha (0.45f);
    theme.knobBody = Colour { 0xff201917 };
    theme.knobBodyLow = Colour { 0xff151110 };
    theme.knobRim = Colour { 0xff3a2a26 };
    theme.arcValue = cream;
    theme.pointer = Colour { 0xfff1ecd6 };
    theme.arcTrack = cream.withAlpha (0.2f);
    theme.accent = amber;
    theme.accentLine = amber;
    theme.accentSoft = amber.withAlpha (0.3f);
    theme.inkOnAccent = Colour { 0xff201917 };
    theme.extraColour6 = Colour { 0xffc9b26b };
    theme.extraColour7 = amber;
    theme.extraColour8 = Colour { 0xfff08a4b };
    theme.extraColour9 = Colour { 0xffff4d3d };
    theme.shadowBase = black;
    theme.scrim = Colour { 0xffc56c64 }.withAlpha (0.55f);
    theme.markColour = amber;
    theme.markHighlight = Colour { 0xfffbe29f };
    theme.knobStyle = 4;
    theme.knobArc = amber;
    theme.knobArcTrack = Colour { 0xffffffff }.withAlpha (0.25f);
    theme.grainOpacity = 0.0f;
    theme.knobRing = amber;
    theme.imageKnobTrack = black.withAlpha (0.18f);
    theme.knobNeedle = amber;
    theme.titleText = cream;
    theme.radiusSmall = 6.0f;
    theme.radiusMedium = 10.0f;
    theme.radiusLarge = 12.0f;
    theme.strokeWidth = 4.0f;
    theme.knobShadow = { black.withAlpha (0.45f), 18, 0, 7 };
    theme.knobContactShadow = { black.withAlpha (0.3f), 5, 0, 2 };
    theme.controlShadow = { black.withAlpha (0.22f), 6, 0, 2 };
    theme.cardShadow = { black.withAlpha (0.18f), 14, 0, 4 };
    theme.panelShadow = { black.withAlpha (0.4f), 24, 0, 10 };
    return theme;
}

} // namespace vo::plugins::zel::ui
