// The editor frame's pictures at 1× and 2×: the header bar in its standard
// and compact layouts, under the toolkit's look-and-feel as in an editor.

#include "support/ControlFixture.h"
#include "support/GoldenPicture.h"
#include "support/PictureRenderer.h"

#include "gui/HeaderBar.h"
#include "gui/LookAndFeel.h"

#include <gtest/gtest.h>

namespace vo::test
{
using vo::gui::HeaderBar;
using vo::gui::LookAndFeel;
using vo::gui::Theme;

namespace
{

class HeaderScene : public juce::Component
{
public:
    HeaderScene (core::ProcessorBase& processor, const Theme& themeToUse, bool compact)
        : lookAndFeel (themeToUse), header (processor, themeToUse)
    {
        setLookAndFeel (&lookAndFeel);
        header.historyInMenu = compact;
        header.setSettingsBadge (compact);
        addAndMakeVisible (header);
        setSize (780, 56);
        header.setBounds (getLocalBounds());
    }

    ~HeaderScene() override { setLookAndFeel (nullptr); }

private:
    LookAndFeel lookAndFeel;
    HeaderBar header;
};

class FramePictures : public ControlFixture,
                      public ::testing::WithParamInterface<float>
{
protected:
    float scale() const { return GetParam(); }
    juce::String golden (const char* name) const { return GoldenPicture::nameAt (name, scale()); }
};

TEST_P (FramePictures, HeaderStandard)
{
    HeaderScene scene (processor, theme, false);
    EXPECT_TRUE (GoldenPicture::matches (PictureRenderer::ofComponent (scene, scale()), golden ("header-standard")));
}

TEST_P (FramePictures, HeaderCompact)
{
    HeaderScene scene (processor, theme, true);
    EXPECT_TRUE (GoldenPicture::matches (PictureRenderer::ofComponent (scene, scale()), golden ("header-compact")));
}

std::string scaleName (const ::testing::TestParamInfo<float>& scale)
{
    return std::to_string (juce::roundToInt (scale.param)) + "x";
}

INSTANTIATE_TEST_SUITE_P (AtScale, FramePictures, ::testing::Values (1.0f, 2.0f), scaleName);

} // namespace
} // namespace vo::test
