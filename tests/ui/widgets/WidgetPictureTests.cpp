// The widgets as the user sees them, unlit and lit, and the backdrop with its
// screws, each at 1× and 2× against its golden (tests/ui/goldens).

#include "plugin/Processor.h"
#include "plugin/ui/ProductTheme.h"
#include "plugin/ui/widgets/Backdrop.h"
#include "plugin/ui/widgets/CapsuleButton.h"
#include "plugin/ui/widgets/Lamp.h"
#include "plugin/ui/widgets/RoundButton.h"
#include "plugin/ui/widgets/ToggleSwitch.h"
#include "tests/gui/support/GoldenPicture.h"
#include "tests/gui/support/PictureRenderer.h"

#include <gtest/gtest.h>

namespace vo::test
{
namespace
{

using namespace plugins::zel::ui;

// One row unlit (top) and one lit (bottom) of every widget, on the backdrop.
class WidgetScene : public juce::Component
{
public:
    static constexpr int kWidth = 500;
    static constexpr int kMargin = 40; // clear of the backdrop's corner screws
    static constexpr int kRow = 64;

    explicit WidgetScene (plugins::zel::Processor& processor)
        : theme (productTheme()),
          backdrop (theme),
          plain ("plain", RoundButton::NoIcon, theme, {}), plainLit ("plain", RoundButton::NoIcon, theme, {}),
          undo ("undo", RoundButton::UndoIcon, theme, {}), undoLit ("undo", RoundButton::UndoIcon, theme, {}),
          next ("next", RoundButton::RightIcon, theme, {}), redLit ("red", RoundButton::LeftIcon, theme, {}),
          lamp (theme), lampLit (theme),
          modeSwitch (processor.getStateManager(), "mode", theme, {}),
          freezeSwitch (processor.getStateManager(), "freeze", theme, {}),
          capsule ("close", theme), capsuleOff ("close", theme)
    {
        setSize (kWidth, 2 * kRow + 2 * kMargin);
        backdrop.setBounds (getLocalBounds());
        addAndMakeVisible (backdrop);

        place (plain, 0, 0);
        place (undo, 1, 0);
        place (next, 2, 0);
        place (lamp, 3, 0);
        place (modeSwitch, 4, 0);
        place (plainLit, 0, 1);
        place (undoLit, 1, 1);
        place (redLit, 2, 1);
        place (lampLit, 3, 1);
        place (freezeSwitch, 4, 1);

        for (auto* button : { &plainLit, &undoLit, &redLit })
            button->setLit (true, true);
        redLit.setRedWhenLit (true);
        lampLit.setLit (true, true);

        capsule.setBounds (kMargin + 300, kMargin + 10, 100, 44);
        capsuleOff.setBounds (kMargin + 300, kMargin + kRow + 10, 100, 44);
        capsuleOff.setEnabled (false);
        addAndMakeVisible (capsule);
        addAndMakeVisible (capsuleOff);
    }

private:
    void place (juce::Component& widget, int column, int row)
    {
        widget.setBounds (kMargin + 60 * column, kMargin + kRow * row, 60, kRow);
        addAndMakeVisible (widget);
    }

    gui::Theme theme;
    Backdrop backdrop;
    RoundButton plain, plainLit, undo, undoLit, next, redLit;
    Lamp lamp, lampLit;
    ToggleSwitch modeSwitch, freezeSwitch;
    CapsuleButton capsule, capsuleOff;
};

class WidgetPictures : public ::testing::TestWithParam<float>
{
protected:
    juce::ScopedJuceInitialiser_GUI gui;
};

TEST_P (WidgetPictures, UnlitAndLit)
{
    plugins::zel::Processor processor;
    processor.getStateManager().param ("freeze").setValueNotifyingHost (1.0f);
    WidgetScene scene (processor);
    EXPECT_TRUE (GoldenPicture::matches (PictureRenderer::ofComponent (scene, GetParam()),
                                         GoldenPicture::nameAt ("widgets", GetParam())));
}

TEST_P (WidgetPictures, BackdropWithScrewsAndAMirroredTile)
{
    Backdrop backdrop (productTheme());
    backdrop.setBounds (0, 0, 320, 300);
    backdrop.setOverlap (40);
    backdrop.setCornerRadius (10.0f);
    // The overlap paints above the component: render it shifted down into view.
    const auto picture = PictureRenderer::ofDrawing (320, 340, GetParam(), [&backdrop] (juce::Graphics& g) {
        g.setOrigin (0, 40);
        backdrop.paintEntireComponent (g, false);
    });
    EXPECT_TRUE (GoldenPicture::matches (picture, GoldenPicture::nameAt ("backdrop", GetParam())));
}

INSTANTIATE_TEST_SUITE_P (AtScale, WidgetPictures, ::testing::Values (1.0f, 2.0f));

} // namespace
} // namespace vo::test
