// The value chip driven like a user would: short and long drags, Shift,
// typing with Return and Escape, double-click, and what the host and the
// undo history see of it.

#include "support/ControlFixture.h"
#include "support/SyntheticMouse.h"

#include "core/MessagePump.h"
#include "gui/ValueChip.h"

#include <gtest/gtest.h>

namespace vo::test
{
using vo::gui::ValueChip;

namespace
{

constexpr int kSettleMs = 30;
// The tree flushes on a timer that slows down to 500 ms while nothing changes.
constexpr int kTreeCatchUpMs = 600;

class ValueChipTest : public ControlFixture
{
protected:
    void SetUp() override { chip.setSize (64, 20); }

    void dragUp (float pixels, juce::ModifierKeys keys = {})
    {
        SyntheticMouse (chip).drag (centre, centre - juce::Point<float> (0.0f, pixels), keys, 4);
        // The tree catches up with the parameters on its own timer, as in the editor.
        core::MessagePump::runFor (kTreeCatchUpMs);
    }

    void type (const juce::String& text)
    {
        auto* editor = chip.getEditor();
        ASSERT_NE (editor, nullptr);
        editor->selectAll();
        for (const auto c : text)
            editor->keyPressed (juce::KeyPress (static_cast<int> (c), {}, c));
    }

    void press (int keyCode)
    {
        ASSERT_NE (chip.getEditor(), nullptr);
        chip.getEditor()->keyPressed (juce::KeyPress (keyCode));
        core::MessagePump::runFor (kSettleMs);
    }

    ValueChip chip { state(), "amount", theme, "Amount of cut" };
    const juce::Point<float> centre { 32.0f, 10.0f };
};

TEST_F (ValueChipTest, ShowsAnUpDownCursorAndItsTooltip)
{
    EXPECT_EQ (chip.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::UpDownResizeCursor));
    EXPECT_EQ (chip.getProperties()["voTooltip"].toString(), "Amount of cut");
}

TEST_F (ValueChipTest, DraggingUpRaisesTheValueOver220Pixels)
{
    dragUp (44.0f);
    EXPECT_NEAR (plain ("amount"), 20.0f, 0.11f);
    EXPECT_FALSE (chip.isTyping()) << "a drag never opens the text field";
}

TEST_F (ValueChipTest, ShiftNeeds900PixelsForTheFullRange)
{
    dragUp (90.0f, juce::ModifierKeys::shiftModifier);
    EXPECT_NEAR (plain ("amount"), 10.0f, 0.11f);
}

TEST_F (ValueChipTest, AMoveOfThreePixelsIsAClickThatOpensTheTextField)
{
    SyntheticMouse mouse (chip);
    mouse.press (centre);
    mouse.dragTo (centre - juce::Point<float> (0.0f, 3.0f));
    EXPECT_FALSE (chip.isDragging());
    mouse.release();

    EXPECT_TRUE (chip.isTyping());
    EXPECT_FLOAT_EQ (plain ("amount"), 0.0f);
    EXPECT_EQ (gestures.begins (parameter ("amount")), 0);
}

TEST_F (ValueChipTest, FourPixelsStartADrag)
{
    SyntheticMouse mouse (chip);
    mouse.press (centre);
    mouse.dragTo (centre - juce::Point<float> (0.0f, 4.0f));
    EXPECT_TRUE (chip.isDragging());
    mouse.release();
    EXPECT_FALSE (chip.isTyping());
}

TEST_F (ValueChipTest, ADragIsOneGestureAndOneUndoStep)
{
    dragUp (44.0f);
    dragUp (22.0f);
    EXPECT_EQ (gestures.begins (parameter ("amount")), 2);
    EXPECT_EQ (gestures.ends (parameter ("amount")), 2);

    const auto afterBoth = plain ("amount");
    EXPECT_NEAR (afterBoth, 30.0f, 0.11f);
    state().undo();
    EXPECT_NEAR (plain ("amount"), 20.0f, 0.11f);
    state().undo();
    EXPECT_FLOAT_EQ (plain ("amount"), 0.0f);
}

TEST_F (ValueChipTest, TypingAValueAndReturnSetsIt)
{
    SyntheticMouse (chip).click (centre);
    type ("42");
    press (juce::KeyPress::returnKey);

    EXPECT_FLOAT_EQ (plain ("amount"), 42.0f);
    EXPECT_FALSE (chip.isTyping());
    EXPECT_EQ (gestures.begins (parameter ("amount")), 1);
    EXPECT_EQ (gestures.ends (parameter ("amount")), 1);
}

TEST_F (ValueChipTest, EscapeNeverChangesTheValue)
{
    SyntheticMouse (chip).click (centre);
    type ("77");
    press (juce::KeyPress::escapeKey);

    EXPECT_FLOAT_EQ (plain ("amount"), 0.0f);
    EXPECT_FALSE (chip.isTyping());
}

TEST_F (ValueChipTest, AnEmptyTextLeavesTheValueUnchanged)
{
    setPlain ("amount", 25.0f);
    SyntheticMouse (chip).click (centre);
    chip.getEditor()->clear();
    press (juce::KeyPress::returnKey);
    EXPECT_FLOAT_EQ (plain ("amount"), 25.0f);
}

TEST_F (ValueChipTest, TheEditorIsDeletedLaterNotInsideItsCallback)
{
    SyntheticMouse (chip).click (centre);
    juce::Component::SafePointer<juce::TextEditor> editor (chip.getEditor());
    chip.commitEditor (true);
    EXPECT_FALSE (chip.isTyping());
    EXPECT_NE (editor.getComponent(), nullptr) << "still alive until the message loop runs";
    core::MessagePump::runFor (kSettleMs);
    EXPECT_EQ (editor.getComponent(), nullptr);
}

TEST_F (ValueChipTest, DoubleClickReturnsToTheDefault)
{
    ValueChip smooth (state(), "smooth", theme, {});
    smooth.setSize (64, 20);
    setPlain ("smooth", 90.0f);
    smooth.mouseDoubleClick (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), centre, {}, 1.0f,
                                               0.0f, 0.0f, 0.0f, 0.0f, &smooth, &smooth, juce::Time(), centre,
                                               juce::Time(), 2, false));
    EXPECT_FLOAT_EQ (plain ("smooth"), 30.0f);
}

TEST_F (ValueChipTest, ScreenReadersReadAndSetTheValueText)
{
    setPlain ("amount", 12.0f);
    auto handler = chip.createAccessibilityHandler();
    ASSERT_NE (handler->getValueInterface(), nullptr);
    EXPECT_EQ (handler->getValueInterface()->getCurrentValueAsString(), parameter ("amount").getCurrentValueAsText());
    handler->getValueInterface()->setValueAsString ("33");
    EXPECT_FLOAT_EQ (plain ("amount"), 33.0f);
}

TEST_F (ValueChipTest, AnUnknownIdGivesADisabledChipThatKeepsItsTooltip)
{
    ValueChip unknown (state(), "", theme, "still explained");
    unknown.setSize (64, 20);
    EXPECT_FALSE (unknown.isEnabled());
    EXPECT_FALSE (unknown.hasParameter());
    EXPECT_EQ (unknown.getProperties()["voTooltip"].toString(), "still explained");
    SyntheticMouse (unknown).click (centre);
    EXPECT_FALSE (unknown.isTyping());
}

} // namespace
} // namespace vo::test
