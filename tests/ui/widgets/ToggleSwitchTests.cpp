// The lever switch toggles on release, only when the release is still on it.

#include "support/SyntheticClicks.h"

#include "plugin/Processor.h"
#include "plugin/ui/ProductTheme.h"
#include "plugin/ui/widgets/ToggleSwitch.h"

#include <gtest/gtest.h>

namespace vo::test
{
namespace
{

using plugins::zel::ui::ToggleSwitch;

class ToggleSwitchTest : public ::testing::Test
{
protected:
    ToggleSwitchTest()
    {
        root.setBounds (0, 0, 200, 100);
        root.setVisible (true);
        lever.setBounds (20, 20, 60, 40);
        root.addAndMakeVisible (lever);
    }

    float mode() { return processor.getStateManager().param ("mode").getValue(); }

    juce::ScopedJuceInitialiser_GUI gui;
    gui::Theme theme = plugins::zel::ui::productTheme();
    plugins::zel::Processor processor;
    juce::Component root;
    ToggleSwitch lever { processor.getStateManager(), "mode", theme, "left/right or mid/side" };
};

TEST_F (ToggleSwitchTest, TakesClicksInItsCentredSquare)
{
    EXPECT_EQ (lever.switchSquare(), juce::Rectangle<float> (10.0f, 0.0f, 40.0f, 40.0f));
    EXPECT_EQ (root.getComponentAt (juce::Point<int> { 50, 40 }), &lever);
    EXPECT_EQ (root.getComponentAt (juce::Point<int> { 25, 40 }), &root);
    lever.setSwitchSize (18.9f); // 30-pixel square
    EXPECT_FLOAT_EQ (lever.switchSquare().getWidth(), 30.0f);
}

TEST_F (ToggleSwitchTest, TogglesOnReleaseInsideInOneUndoableStep)
{
    EXPECT_FALSE (lever.getIsOn());
    ASSERT_EQ (SyntheticClicks::click (root, { 50.0f, 40.0f }), &lever);
    EXPECT_TRUE (lever.getIsOn());
    EXPECT_GT (mode(), 0.5f);
    processor.getStateManager().undo();
    EXPECT_FALSE (lever.getIsOn());
}

TEST_F (ToggleSwitchTest, APressReleasedOutsideDoesNotToggle)
{
    auto* target = SyntheticClicks::press (root, { 50.0f, 40.0f });
    ASSERT_EQ (target, &lever);
    SyntheticClicks::release (*target, root, { 150.0f, 40.0f });
    EXPECT_FALSE (lever.getIsOn());
    EXPECT_LT (mode(), 0.5f);
}

TEST_F (ToggleSwitchTest, FollowsTheParameterFromElsewhere)
{
    processor.getStateManager().param ("mode").setValueNotifyingHost (1.0f);
    EXPECT_TRUE (lever.getIsOn());
}

TEST_F (ToggleSwitchTest, AnUnknownParameterDisablesTheSwitch)
{
    ToggleSwitch stray { processor.getStateManager(), "nonsense", theme, {} };
    EXPECT_FALSE (stray.isEnabled());
    EXPECT_FALSE (stray.getIsOn());
}

} // namespace
} // namespace vo::test
