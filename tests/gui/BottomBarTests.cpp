// The bottom bar at its public seams, on the real product's processor: its
// toggles, the footer text as it fits the width, the slot layout, and its
// picture at 1× and 2×.

#include "support/ControlFixture.h"
#include "support/GoldenPicture.h"
#include "support/PictureRenderer.h"

#include "gui/BottomBar.h"
#include "gui/LookAndFeel.h"

#include <gtest/gtest.h>

namespace vo::test
{
using vo::gui::BottomBar;
using vo::gui::LookAndFeel;
using vo::gui::MakerInfo;
using vo::gui::Theme;

namespace
{

const MakerInfo kMaker { "velmora", "by velmora", {}, {} };

class BottomBarTest : public ControlFixture
{
protected:
    void SetUp() override
    {
        bar.setMakerInfo (kMaker);
        bar.setSize (780, 44);
    }

    BottomBar bar { processor, theme };
};

TEST_F (BottomBarTest, WithoutADeltaParameterOnlyBypassIsShownAndTheFooterStartsAt54)
{
    EXPECT_EQ (bar.getDeltaToggle(), nullptr);
    EXPECT_TRUE (bar.getBypassToggle().hasParameter());
    EXPECT_TRUE (bar.getBypassToggle().isVisible());
    EXPECT_EQ (bar.getFooterStartX(), 54);
    EXPECT_EQ (bar.getNumChildComponents(), 1);
}

TEST_F (BottomBarTest, TheBypassToggleSitsCentredInTheInnerHeight)
{
    EXPECT_EQ (bar.getBypassToggle().getBounds(), juce::Rectangle<int> (14, 8, 28, 28));
    bar.setSize (780, 60);
    EXPECT_EQ (bar.getBypassToggle().getBounds(), juce::Rectangle<int> (14, 16, 28, 28));
}

TEST_F (BottomBarTest, TheBylinePictureStandsAloneWithoutText)
{
    // This build embeds the maker's byline picture, so it replaces the text.
    EXPECT_TRUE (bar.getFooterText().isEmpty());
}

TEST_F (BottomBarTest, AProductFooterCarriesTheVersionUntilTheBarIsTooNarrow)
{
    const auto separator = juce::String::fromUTF8 ("  \xc2\xb7  ");
    bar.setFooter ("a test footer");
    EXPECT_EQ (bar.getFooterText(), "a test footer" + separator + "v" + processor.getVersion());

    bar.setSize (320, 44);
    EXPECT_EQ (bar.getFooterText(), "a test footer");
}

TEST_F (BottomBarTest, SlotsLineUpFromTheRightWithTheirLabelsBeforeThem)
{
    juce::Component first, second;
    bar.addSlot ("First", first);
    bar.addSlot ("Second", second);

    EXPECT_EQ (second.getBounds(), juce::Rectangle<int> (780 - 18 - 66, 11, 66, 22));
    EXPECT_EQ (bar.getSlotLabelBounds (1).getRight(), second.getX());
    EXPECT_EQ (first.getRight(), bar.getSlotLabelBounds (1).getX());
    EXPECT_EQ (bar.getSlotLabelBounds (0).getRight(), first.getX());
    EXPECT_EQ (bar.getSlotLabelBounds (0).getY(), 8);
    EXPECT_EQ (bar.getSlotLabelBounds (0).getHeight(), 28);
}

// The bar as an editor would show it, on the product theme with one slot.
class BottomBarScene : public juce::Component
{
public:
    BottomBarScene (core::ProcessorBase& processor, const Theme& theme) : lookAndFeel (theme), bar (processor, theme)
    {
        setLookAndFeel (&lookAndFeel);
        setSize (520, 44);
        bar.setMakerInfo (kMaker);
        addAndMakeVisible (bar);
        bar.setBounds (getLocalBounds());
        bar.addSlot ("Oversampling", slotButton);
    }

    ~BottomBarScene() override { setLookAndFeel (nullptr); }

private:
    LookAndFeel lookAndFeel;
    BottomBar bar;
    juce::TextButton slotButton { "2x" };
};

class BottomBarPictures : public ControlFixture,
                          public ::testing::WithParamInterface<float>
{
};

TEST_P (BottomBarPictures, BypassFooterAndSlot)
{
    BottomBarScene scene (processor, theme);
    EXPECT_TRUE (GoldenPicture::matches (PictureRenderer::ofComponent (scene, GetParam()),
                                         GoldenPicture::nameAt ("bottom-bar", GetParam())));
}

std::string scaleName (const ::testing::TestParamInfo<float>& scale)
{
    return std::to_string (juce::roundToInt (scale.param)) + "x";
}

INSTANTIATE_TEST_SUITE_P (AtScale, BottomBarPictures, ::testing::Values (1.0f, 2.0f), scaleName);

} // namespace
} // namespace vo::test
