// The knob through its public seams: synthetic mouse and key events on its
// slider, the parameter it moves, the gestures a host sees and the undo steps.

#include "support/ControlFixture.h"
#include "support/PictureRenderer.h"
#include "support/PixelProbe.h"
#include "support/SyntheticMouse.h"

#include "core/MessagePump.h"
#include "gui/Knob.h"

#include <gtest/gtest.h>

namespace vo::test
{
using vo::gui::Knob;

namespace
{

// The tree flushes on a timer that slows down to 500 ms while nothing changes.
constexpr int kTreeCatchUpMs = 600;

class KnobTest : public ControlFixture
{
protected:
    void SetUp() override { knob.setSize (90, 120); }

    juce::Point<float> faceCentre() { return knob.getSlider().getLocalBounds().getCentre().toFloat(); }

    void dragUp (float pixels, juce::ModifierKeys keys = {})
    {
        SyntheticMouse mouse (knob.getSlider());
        mouse.drag (faceCentre(), faceCentre() - juce::Point<float> (0.0f, pixels), keys);
        // The tree catches up with the parameters on its own timer, as in the editor.
        core::MessagePump::runFor (kTreeCatchUpMs);
    }

    Knob knob { state(), "amount", "Amount", theme, false, "How deep the cut goes", Knob::Size::Large };
};

TEST_F (KnobTest, LaysOutCaptionFaceAndChip)
{
    EXPECT_EQ (knob.getCaptionArea(), juce::Rectangle<int> (0, 0, 90, 15));
    EXPECT_EQ (knob.getKnobArea(), juce::Rectangle<int> (0, 15, 90, 80));
    EXPECT_EQ (knob.getSlider().getBounds(), knob.getKnobArea());
    ASSERT_NE (knob.getChip(), nullptr);
    EXPECT_EQ (knob.getChip()->getBounds(), juce::Rectangle<int> (13, 100, 64, 20));
    EXPECT_FLOAT_EQ (knob.getFaceDiameter(), 66.0f) << "the area's 80 pixels less the margin";
}

TEST_F (KnobTest, SizesAndDiameterOverrideLimitTheFace)
{
    Knob small (state(), "smooth", "Smooth", theme, false, {}, Knob::Size::Small);
    small.setSize (120, 140);
    EXPECT_FLOAT_EQ (small.getFaceDiameter(), 46.0f);
    small.setDiameter (52.0f);
    EXPECT_FLOAT_EQ (small.getFaceDiameter(), 52.0f);
    small.setDiameter (-3.0f);
    EXPECT_FLOAT_EQ (small.getFaceDiameter(), 46.0f) << "no override left";
}

TEST_F (KnobTest, AKnobNoTallerThanItsCaptionHasNoFace)
{
    knob.setSize (90, 15);
    EXPECT_EQ (knob.getKnobArea().getHeight(), 0);
    EXPECT_FLOAT_EQ (knob.getFaceDiameter(), 0.0f);
}

TEST_F (KnobTest, DraggingUpHalfOfTheDragDistanceSetsHalfTheRange)
{
    dragUp (85.0f);
    EXPECT_NEAR (plain ("amount"), 50.0f, 0.11f);
}

TEST_F (KnobTest, HorizontalMovementCountsLikeVertical)
{
    SyntheticMouse mouse (knob.getSlider());
    mouse.drag (faceCentre(), faceCentre() + juce::Point<float> (34.0f, 0.0f));
    EXPECT_NEAR (plain ("amount"), 20.0f, 0.11f);
}

TEST_F (KnobTest, ShiftDragsAreFine)
{
    dragUp (85.0f, juce::ModifierKeys::shiftModifier);
    EXPECT_GT (plain ("amount"), 0.0f);
    EXPECT_LT (plain ("amount"), 10.0f);
}

TEST_F (KnobTest, ADragIsOneGestureForTheHost)
{
    SyntheticMouse mouse (knob.getSlider());
    mouse.press (faceCentre());
    for (int step = 1; step <= 10; ++step)
        mouse.dragTo (faceCentre() - juce::Point<float> (0.0f, 5.0f * static_cast<float> (step)));
    EXPECT_TRUE (knob.isHighlighted()) << "dragging highlights";
    mouse.release();

    EXPECT_FALSE (knob.isHighlighted());
    EXPECT_EQ (gestures.begins (parameter ("amount")), 1);
    EXPECT_EQ (gestures.ends (parameter ("amount")), 1);
    EXPECT_GE (gestures.changes (parameter ("amount")), 10);
}

TEST_F (KnobTest, EachDragIsOneUndoStep)
{
    dragUp (34.0f);
    const auto afterFirst = plain ("amount");
    dragUp (34.0f);
    ASSERT_GT (plain ("amount"), afterFirst);

    state().undo();
    EXPECT_NEAR (plain ("amount"), afterFirst, 0.01f);
    state().undo();
    EXPECT_NEAR (plain ("amount"), 0.0f, 0.01f);
}

TEST_F (KnobTest, DoubleClickReturnsToTheDefault)
{
    setPlain ("amount", 64.0f);
    SyntheticMouse (knob.getSlider()).doubleClick (faceCentre());
    EXPECT_FLOAT_EQ (plain ("amount"), 0.0f);
}

TEST_F (KnobTest, AltClickReturnsToTheDefault)
{
    Knob smooth (state(), "smooth", "Smooth", theme, false, {}, Knob::Size::Medium);
    smooth.setSize (80, 110);
    setPlain ("smooth", 80.0f);
    SyntheticMouse (smooth.getSlider()).click ({ 40.0f, 30.0f }, juce::ModifierKeys::altModifier);
    EXPECT_FLOAT_EQ (plain ("smooth"), 30.0f);
}

TEST_F (KnobTest, HoverHighlights)
{
    SyntheticMouse mouse (knob);
    mouse.enter ({ 45.0f, 50.0f });
    EXPECT_TRUE (knob.isHighlighted());
    mouse.exit ({ 45.0f, 50.0f });
    EXPECT_FALSE (knob.isHighlighted());
}

TEST_F (KnobTest, ArrowKeysStepTheValueAsOneGestureEach)
{
    auto& slider = knob.getSlider();
    EXPECT_TRUE (slider.getWantsKeyboardFocus());
    EXPECT_TRUE (slider.keyPressed (juce::KeyPress (juce::KeyPress::upKey)));
    const auto up = plain ("amount");
    EXPECT_GT (up, 0.0f);
    EXPECT_TRUE (slider.keyPressed (juce::KeyPress (juce::KeyPress::rightKey)));
    EXPECT_GT (plain ("amount"), up);
    EXPECT_TRUE (slider.keyPressed (juce::KeyPress (juce::KeyPress::downKey)));
    EXPECT_NEAR (plain ("amount"), up, 0.001f);

    EXPECT_EQ (gestures.begins (parameter ("amount")), 3);
    EXPECT_EQ (gestures.ends (parameter ("amount")), 3);

    state().undo();
    EXPECT_GT (plain ("amount"), up) << "one key press, one undo step";
}

TEST_F (KnobTest, ScreenReadersGetRoleNameAndValue)
{
    setPlain ("amount", 42.0f);
    auto handler = knob.getSlider().createAccessibilityHandler();
    ASSERT_NE (handler, nullptr);
    EXPECT_EQ (handler->getRole(), juce::AccessibilityRole::slider);
    EXPECT_EQ (handler->getTitle(), "Amount");
    EXPECT_EQ (handler->getDescription(), "How deep the cut goes");
    ASSERT_NE (handler->getValueInterface(), nullptr);
    EXPECT_EQ (handler->getValueInterface()->getCurrentValueAsString(), parameter ("amount").getCurrentValueAsText());
}

TEST_F (KnobTest, TooltipGoesOnKnobSliderAndChip)
{
    EXPECT_EQ (knob.getProperties()["voTooltip"].toString(), "How deep the cut goes");
    EXPECT_EQ (knob.getSlider().getProperties()["voTooltip"].toString(), "How deep the cut goes");
    EXPECT_EQ (knob.getChip()->getProperties()["voTooltip"].toString(), "How deep the cut goes");
    knob.setTooltip ("other");
    EXPECT_EQ (knob.getChip()->getProperties()["voTooltip"].toString(), "other");
}

TEST_F (KnobTest, AnUnknownIdGivesADisabledKnobWithCaptionAndFaceOnly)
{
    Knob unknown (state(), "noSuchParameter", "Ghost", theme, false, "never stored", Knob::Size::Large);
    unknown.setSize (90, 120);
    EXPECT_FALSE (unknown.isEnabled());
    EXPECT_FALSE (unknown.hasParameter());
    EXPECT_EQ (unknown.getChip(), nullptr);
    EXPECT_FALSE (unknown.getSlider().isVisible());
    EXPECT_FALSE (unknown.getProperties().contains ("voTooltip"));

    const auto missing = state().param ("noSuchParameter").getValue();
    SyntheticMouse (unknown.getSlider()).drag ({ 45.0f, 40.0f }, { 45.0f, 0.0f });
    EXPECT_FLOAT_EQ (state().param ("noSuchParameter").getValue(), missing);
}

TEST_F (KnobTest, TheStaticFaceIsRenderedOncePerSizeAndScale)
{
    PictureRenderer::ofComponent (knob, 1.0f);
    PictureRenderer::ofComponent (knob, 1.0f);
    EXPECT_EQ (knob.getFaceBuildCount(), 1);

    setPlain ("amount", 70.0f);
    PictureRenderer::ofComponent (knob, 1.0f);
    EXPECT_EQ (knob.getFaceBuildCount(), 1) << "the value does not touch the face";

    PictureRenderer::ofComponent (knob, 2.0f);
    EXPECT_EQ (knob.getFaceBuildCount(), 2);

    knob.setDiameter (60.004f);
    knob.setDiameter (60.0f);
    PictureRenderer::ofComponent (knob, 2.0f);
    EXPECT_EQ (knob.getFaceBuildCount(), 3) << "a change below 0.01 is ignored";
}

TEST_F (KnobTest, EveryStyleDrawsAStaticFaceOnceAndMovesWithTheValue)
{
    for (const auto style : { 0, 1, 2, 3, 4 })
    {
        auto styled = theme;
        styled.knobStyle = style;
        Knob each (state(), "smooth", "Smooth", styled, false, {}, Knob::Size::Large);
        each.setSize (100, 120);
        setPlain ("smooth", 20.0f);
        const auto low = PictureRenderer::ofComponent (each, 1.0f);
        setPlain ("smooth", 80.0f);
        const auto high = PictureRenderer::ofComponent (each, 1.0f);

        EXPECT_FALSE (PixelProbe::isFullyTransparent (low)) << "style " << style;
        EXPECT_FALSE (PixelProbe::sameAs (low, high)) << "style " << style;
        EXPECT_EQ (each.getFaceBuildCount(), 1) << "style " << style;
    }
}

} // namespace
} // namespace vo::test
