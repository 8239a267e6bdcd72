// The round button: clicks land only on the drawn circle, a bound button
// flips its parameter in one undoable step, and its glow fades in 120 ms.

#include "support/SyntheticClicks.h"

#include "plugin/Processor.h"
#include "plugin/ui/ProductTheme.h"
#include "plugin/ui/widgets/RoundButton.h"

#include <gtest/gtest.h>

namespace vo::test
{
namespace
{

using plugins::zel::ui::RoundButton;

class RoundButtonTest : public ::testing::Test
{
protected:
    RoundButtonTest()
    {
        root.setBounds (0, 0, 100, 100);
        root.setVisible (true);
        button.setBounds (10, 10, 52, 52);
        button.setDiameter (36.0f);
        button.onClick = [this] { ++clicks; };
        root.addAndMakeVisible (button);
    }

    bool clickAt (float x, float y)
    {
        const auto before = clicks;
        SyntheticClicks::click (root, { x, y });
        return clicks > before;
    }

    juce::ScopedJuceInitialiser_GUI gui;
    gui::Theme theme = plugins::zel::ui::productTheme();
    // Before the button: an attached button must go before its parameters do.
    plugins::zel::Processor processor;
    juce::Component root;
    RoundButton button { "freeze", RoundButton::NoIcon, theme, "freeze the cut" };
    int clicks = 0;
};

TEST_F (RoundButtonTest, ClicksOnlyInsideTheDrawnCircle)
{
    // The 52-pixel component's centre is at (36, 36); the circle's radius is 18.
    EXPECT_TRUE (clickAt (36.0f, 36.0f));
    EXPECT_TRUE (clickAt (36.0f + 18.0f, 36.0f));
    EXPECT_TRUE (clickAt (36.0f, 36.0f - 18.0f));
    EXPECT_FALSE (clickAt (36.0f + 19.0f, 36.0f));
    EXPECT_FALSE (clickAt (36.0f + 14.0f, 36.0f + 14.0f)); // inside the square, outside the circle
    EXPECT_FALSE (clickAt (11.0f, 11.0f));
    EXPECT_EQ (clicks, 3);
}

TEST_F (RoundButtonTest, DrawsSixteenPixelsInsideItsSmallerSideWithoutADiameter)
{
    button.setDiameter (0.0f);
    EXPECT_FLOAT_EQ (button.circleBounds (false).getWidth(), 36.0f);
    button.setDiameter (80.0f);
    EXPECT_FLOAT_EQ (button.circleBounds (false).getWidth(), 52.0f);
    EXPECT_FLOAT_EQ (button.circleBounds (true).getY(), button.circleBounds (false).getY() + 1.0f);
}

TEST_F (RoundButtonTest, StoresItsTooltipForTheTooltipLayer)
{
    EXPECT_EQ (button.getProperties()["voTooltip"].toString(), "freeze the cut");
    EXPECT_EQ (button.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::PointingHandCursor));
}

TEST_F (RoundButtonTest, FlipsItsParameterInOneUndoableStepAndFadesBackOnUndo)
{
    auto& state = processor.getStateManager();
    button.attachTo (state, "freeze");
    EXPECT_TRUE (button.isEnabled());
    EXPECT_FLOAT_EQ (button.getGlow(), 0.0f);

    std::uint32_t now = 1000;
    button.stepGlowAt (now); // dark and meant to be: only the step's time is taken
    ASSERT_TRUE (clickAt (36.0f, 36.0f));
    EXPECT_GT (state.param ("freeze").getValue(), 0.5f);
    button.stepGlowAt (now += 60);
    EXPECT_NEAR (button.getGlow(), 0.5f, 1e-6f);
    button.stepGlowAt (now += 60);
    EXPECT_FLOAT_EQ (button.getGlow(), 1.0f);

    ASSERT_TRUE (clickAt (36.0f, 36.0f));
    EXPECT_LT (state.param ("freeze").getValue(), 0.5f);
    state.undo();
    EXPECT_GT (state.param ("freeze").getValue(), 0.5f);
    button.stepGlowAt (now += 200);
    button.stepGlowAt (now += 30);
    EXPECT_FLOAT_EQ (button.getGlow(), 1.0f);
}

TEST_F (RoundButtonTest, AnUnknownParameterDisablesTheButton)
{
    button.attachTo (processor.getStateManager(), "nonsense");
    EXPECT_FALSE (button.isEnabled());
    EXPECT_FLOAT_EQ (button.getGlow(), 0.0f);
}

} // namespace
} // namespace vo::test
