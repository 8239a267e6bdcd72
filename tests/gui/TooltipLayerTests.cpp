// The tooltip layer's timing, placement and box size, with the message loop
// pumped for real time as the editor would run it.

#include "core/MessagePump.h"
#include "gui/Fonts.h"
#include "gui/TooltipLayer.h"
#include "plugin/ui/ProductTheme.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vo::test
{
using vo::gui::TooltipLayer;
using vo::gui::textFont;

namespace
{

using core::MessagePump;

// Well inside the show delay, and well past it.
constexpr int kEarlyMs = 200;
constexpr int kLateMs = 300;

class TooltipLayerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root.setSize (400, 300);
        root.addAndMakeVisible (control);
        control.setBounds (100, 100, 60, 20);
        root.addChildComponent (layer);
    }

    void TearDown() override { juce::ModifierKeys::currentModifiers = {}; }

    static int textWidth (const juce::String& text)
    {
        return static_cast<int> (std::ceil (textFont (TooltipLayer::kFontHeight).getStringWidthFloat (text)));
    }

    juce::Component root, control;
    TooltipLayer layer { vo::plugins::zel::ui::productTheme() };
};

TEST_F (TooltipLayerTest, StartsHiddenAndNeverTakesClicks)
{
    EXPECT_FALSE (layer.isVisible());
    EXPECT_TRUE (layer.isAlwaysOnTop());
    bool self = true, children = true;
    layer.getInterceptsMouseClicks (self, children);
    EXPECT_FALSE (self);
    EXPECT_FALSE (children);
}

TEST_F (TooltipLayerTest, WaitsBeforeShowing)
{
    layer.requestShow (&control, "Amount");
    EXPECT_FALSE (layer.isVisible());
    EXPECT_TRUE (layer.isWaiting());
    // The framework's timer thread may count a new timer from its own last
    // wake-up, so only the far side of the delay is checked in real time.
    MessagePump::runFor (kEarlyMs + kLateMs);
    EXPECT_TRUE (layer.isVisible());
    EXPECT_FALSE (layer.isWaiting());
    EXPECT_EQ (layer.getShownText(), "Amount");
}

TEST_F (TooltipLayerTest, AShortTextGetsABox28PixelsWiderThanItsText)
{
    layer.requestShow (&control, "Amount");
    layer.showNow();
    const auto text = textWidth ("Amount") + 8;
    EXPECT_EQ (layer.getWidth(), text + 28);
    EXPECT_EQ (layer.getHeight(), 2 * 14 + 20) << "(t + 8) / c + 1 lines";
    EXPECT_EQ (layer.getX(), 130 - layer.getWidth() / 2);
    EXPECT_EQ (layer.getY(), 124) << "below the control";
}

TEST_F (TooltipLayerTest, ALongTextWrapsAt240Pixels)
{
    const juce::String text ("Sets how far each cut spreads into its neighbouring bands, from a single narrow "
                             "notch to a broad, gentle dip over several bands");
    layer.requestShow (&control, text);
    layer.showNow();
    EXPECT_EQ (layer.getWidth(), 240 + 28);
    EXPECT_EQ (layer.getLineCount(), (textWidth (text) + 8) / 240 + 1);
    EXPECT_GE (layer.getLineCount(), 3);
    EXPECT_EQ (layer.getHeight(), layer.getLineCount() * 14 + 20);
}

TEST_F (TooltipLayerTest, NearTheBottomEdgeTheBoxGoesAbove)
{
    control.setBounds (100, 270, 60, 20);
    layer.requestShow (&control, "Amount");
    layer.showNow();
    EXPECT_EQ (layer.getBottom(), 270 - 4);
}

TEST_F (TooltipLayerTest, NearTheLeftEdgeTheBoxStartsAtTwo)
{
    control.setBounds (0, 100, 20, 20);
    layer.requestShow (&control, "A rather longer tooltip");
    layer.showNow();
    EXPECT_EQ (layer.getX(), 2);
}

TEST_F (TooltipLayerTest, NearTheRightEdgeTheBoxStaysInside)
{
    control.setBounds (380, 100, 20, 20);
    layer.requestShow (&control, "A rather longer tooltip");
    layer.showNow();
    EXPECT_EQ (layer.getRight(), 400 - 2);
}

TEST_F (TooltipLayerTest, HidesAfter120Milliseconds)
{
    layer.requestShow (&control, "Amount");
    layer.showNow();
    layer.requestHide();
    EXPECT_TRUE (layer.isVisible());
    MessagePump::runFor (kEarlyMs);
    EXPECT_FALSE (layer.isVisible());
}

TEST_F (TooltipLayerTest, WhileVisibleANewControlIsRetargetedAtOnce)
{
    juce::Component other;
    root.addAndMakeVisible (other);
    other.setBounds (250, 40, 40, 20);
    layer.requestShow (&control, "Amount");
    layer.showNow();
    layer.requestShow (&other, "Smooth");
    EXPECT_EQ (layer.getShownText(), "Smooth");
    EXPECT_EQ (layer.getY(), 64);
}

TEST_F (TooltipLayerTest, AHeldButtonPostponesTheTooltipUntilRelease)
{
    juce::ModifierKeys::currentModifiers = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);
    layer.requestShow (&control, "Amount");
    MessagePump::runFor (800);
    EXPECT_FALSE (layer.isVisible());
    EXPECT_TRUE (layer.isWaiting()) << "retrying in 200 ms steps";

    juce::ModifierKeys::currentModifiers = {};
    MessagePump::runFor (kLateMs);
    EXPECT_TRUE (layer.isVisible());
}

TEST_F (TooltipLayerTest, HelpModeShowsAtOnceAndHidesWhenTurnedOff)
{
    layer.setHelpMode (true);
    layer.requestShow (&control, "Amount");
    EXPECT_TRUE (layer.isVisible());
    layer.setHelpMode (false);
    EXPECT_FALSE (layer.isVisible());
}

TEST_F (TooltipLayerTest, AGoneTargetOrAnEmptyTextShowsNothing)
{
    {
        juce::Component gone;
        root.addAndMakeVisible (gone);
        layer.requestShow (&gone, "Amount");
    }
    layer.showNow();
    EXPECT_FALSE (layer.isVisible());
    layer.requestShow (&control, {});
    layer.showNow();
    EXPECT_FALSE (layer.isVisible());
}

} // namespace
} // namespace vo::test
