// The round toggle and the section label at their public seams.

#include "support/ControlFixture.h"
#include "support/PictureRenderer.h"
#include "support/PixelProbe.h"
#include "support/SyntheticMouse.h"

#include "gui/Fonts.h"
#include "gui/RoundToggle.h"
#include "gui/SectionLabel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vo::test
{
using vo::gui::RoundToggle;
using vo::gui::SectionLabel;
using vo::gui::displayFont;

namespace
{

class RoundToggleTest : public ControlFixture
{
protected:
    void SetUp() override { toggle.setSize (28, 28); }

    RoundToggle toggle { state(), "freeze", RoundToggle::Icon::Delta, theme, "Freeze the cut" };
};

TEST_F (RoundToggleTest, AClickFlipsTheParameterAsOneGestureAndOneUndoStep)
{
    SyntheticMouse (toggle).click ({ 14.0f, 14.0f });
    EXPECT_TRUE (toggle.isOn());
    EXPECT_GT (parameter ("freeze").getValue(), 0.5f);
    EXPECT_EQ (gestures.begins (parameter ("freeze")), 1);
    EXPECT_EQ (gestures.ends (parameter ("freeze")), 1);

    SyntheticMouse (toggle).click ({ 14.0f, 14.0f });
    EXPECT_FALSE (toggle.isOn());

    state().undo();
    EXPECT_TRUE (toggle.isOn());
    state().undo();
    EXPECT_FALSE (toggle.isOn());
}

TEST_F (RoundToggleTest, AReleaseOutsideDoesNothing)
{
    SyntheticMouse mouse (toggle);
    mouse.press ({ 14.0f, 14.0f });
    mouse.dragTo ({ 60.0f, 14.0f });
    mouse.release();
    EXPECT_FALSE (toggle.isOn());
}

TEST_F (RoundToggleTest, FollowsTheHost)
{
    parameter ("freeze").setValueNotifyingHost (1.0f);
    EXPECT_TRUE (toggle.isOn());
}

TEST_F (RoundToggleTest, TheSpaceBarToggles)
{
    EXPECT_TRUE (toggle.getWantsKeyboardFocus());
    EXPECT_TRUE (toggle.keyPressed (juce::KeyPress (juce::KeyPress::spaceKey)));
    EXPECT_TRUE (toggle.isOn());
    EXPECT_FALSE (toggle.keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
}

TEST_F (RoundToggleTest, ScreenReadersSeeACheckableButtonWithItsName)
{
    auto handler = toggle.createAccessibilityHandler();
    EXPECT_EQ (handler->getRole(), juce::AccessibilityRole::toggleButton);
    EXPECT_EQ (handler->getTitle(), "Freeze the cut");
    EXPECT_TRUE (handler->getCurrentState().isCheckable());
    EXPECT_FALSE (handler->getCurrentState().isChecked());
    EXPECT_TRUE (handler->getActions().invoke (juce::AccessibilityActionType::toggle));
    EXPECT_TRUE (handler->getCurrentState().isChecked());
}

TEST_F (RoundToggleTest, OnAndOffLookDifferentForEveryIcon)
{
    for (const auto icon : { RoundToggle::Icon::Power, RoundToggle::Icon::Delta, RoundToggle::Icon::Headphones })
    {
        RoundToggle each (state(), "scAudition", icon, theme, {});
        each.setSize (28, 28);
        const auto off = PictureRenderer::ofComponent (each, 1.0f);
        each.toggle();
        const auto on = PictureRenderer::ofComponent (each, 1.0f);
        EXPECT_FALSE (PixelProbe::sameAs (off, on));
        each.toggle();
    }
}

TEST_F (RoundToggleTest, AnUnknownIdIgnoresClicksAndStaysOff)
{
    RoundToggle unknown (state(), "nothing", RoundToggle::Icon::Power, theme, "kept");
    unknown.setSize (28, 28);
    SyntheticMouse (unknown).click ({ 14.0f, 14.0f });
    EXPECT_FALSE (unknown.isOn());
    EXPECT_FALSE (unknown.isEnabled());
    EXPECT_EQ (unknown.getProperties()["voTooltip"].toString(), "kept");
}

TEST (SectionLabel, RulesRunFromTheEdgesToShortOfTheText)
{
    const auto theme = vo::plugins::zel::ui::productTheme();
    SectionLabel label ("RANGE", theme);
    label.setSize (200, 16);
    const auto picture = PictureRenderer::ofComponent (label, 1.0f);

    const auto textWidth = std::ceil (displayFont (12.5f).getStringWidthFloat ("RANGE")) + 16.0f;
    const auto rule = juce::roundToInt ((200.0f - textWidth) * 0.5f - 4.0f);
    EXPECT_GT (picture.getPixelAt (0, 8).getAlpha(), 0) << "left rule";
    EXPECT_GT (picture.getPixelAt (rule - 2, 8).getAlpha(), 0);
    EXPECT_EQ (picture.getPixelAt (rule + 1, 8).getAlpha(), 0) << "a gap before the text";
    EXPECT_GT (picture.getPixelAt (199, 8).getAlpha(), 0) << "right rule";
    EXPECT_EQ (picture.getPixelAt (0, 3).getAlpha(), 0) << "one pixel high";

    auto handler = label.createAccessibilityHandler();
    EXPECT_EQ (handler->getRole(), juce::AccessibilityRole::staticText);
    EXPECT_EQ (handler->getTitle(), "RANGE");
}

} // namespace
} // namespace vo::test
