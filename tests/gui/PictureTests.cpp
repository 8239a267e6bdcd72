// Pictures that numbers cannot check: each scene is compared with its golden
// at 1× and 2× (tests/gui/goldens; scripts/refresh-goldens remakes them).

#include "support/GoldenPicture.h"
#include "support/PictureRenderer.h"

#include "gui/Card.h"
#include "gui/ImageShadow.h"
#include "gui/LookAndFeel.h"
#include "gui/ThreeSliceImage.h"
#include "gui/melatonin/DropShadow.h"
#include "plugin/ui/ProductTheme.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vo::test
{
using vo::gui::ImageShadow;
using vo::gui::LookAndFeel;
using vo::gui::Theme;
using vo::gui::ThreeSliceCache;
using vo::gui::drawCard;
using vo::gui::drawThreeSliceImage;

namespace
{

using vo::plugins::zel::ui::productTheme;

// Text buttons in each state, pill toggles off, hovered and on, and the
// rotary fallback, as real components on the editor background.
class ControlsScene : public juce::Component
{
public:
    explicit ControlsScene (const Theme& themeToUse) : theme (themeToUse), lookAndFeel (theme)
    {
        setLookAndFeel (&lookAndFeel);
        setSize (300, 112);

        addButton ("Normal", juce::Button::buttonNormal);
        addButton ("Hover", juce::Button::buttonOver);
        addButton ("Down", juce::Button::buttonDown);
        addButton ("On", juce::Button::buttonNormal).setToggleState (true, juce::dontSendNotification);
        addButton ("Off", juce::Button::buttonNormal).setEnabled (false);

        addToggle ("L/R", false, juce::Button::buttonNormal);
        addToggle ("M/S", false, juce::Button::buttonOver);
        addToggle ("Freeze", true, juce::Button::buttonNormal);

        rotary.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        rotary.setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
        rotary.setRange (0.0, 1.0);
        rotary.setValue (0.6, juce::dontSendNotification);
        rotary.setBounds (236, 44, 56, 56);
        addAndMakeVisible (rotary);
    }

    ~ControlsScene() override { setLookAndFeel (nullptr); }

    void paint (juce::Graphics& g) override { g.fillAll (theme.background); }

private:
    juce::TextButton& addButton (const juce::String& text, juce::Button::ButtonState state)
    {
        auto& button = *buttons.emplace_back (std::make_unique<juce::TextButton> (text));
        button.setBounds (8 + 58 * (static_cast<int> (buttons.size()) - 1), 10, 52, 24);
        addAndMakeVisible (button);
        button.setState (state);
        return button;
    }

    void addToggle (const juce::String& text, bool on, juce::Button::ButtonState state)
    {
        auto& toggle = *toggles.emplace_back (std::make_unique<juce::ToggleButton> (text));
        toggle.setBounds (8 + 72 * (static_cast<int> (toggles.size()) - 1), 56, 66, 22);
        addAndMakeVisible (toggle);
        toggle.setToggleState (on, juce::dontSendNotification);
        toggle.setState (state);
    }

    Theme theme;
    LookAndFeel lookAndFeel;
    std::vector<std::unique_ptr<juce::TextButton>> buttons;
    std::vector<std::unique_ptr<juce::ToggleButton>> toggles;
    juce::Slider rotary;
};

void drawPopupMenu (juce::Graphics& g, LookAndFeel& lookAndFeel)
{
    constexpr int width = 210;
    constexpr int row = LookAndFeel::kPopupRowHeight;
    lookAndFeel.drawPopupMenuBackground (g, width, 147);

    int y = 4;
    auto item = [&] (const juce::String& text, bool active, bool highlighted, bool ticked, bool subMenu,
                     const juce::String& shortcut) {
        lookAndFeel.drawPopupMenuItem (g, { 0, y, width, row }, false, active, highlighted, ticked, subMenu,
                                       text, shortcut, nullptr, nullptr);
        y += row;
    };

    lookAndFeel.drawPopupMenuSectionHeader (g, { 0, y, width, row }, "FACTORY");
    y += row;
    item ("Init", true, false, true, false, {});
    item ("Warm Room", true, true, false, false, {});
    item ("Save As...", true, false, false, false, "Ctrl+S");
    lookAndFeel.drawPopupMenuItem (g, { 0, y, width, 7 }, true, true, false, false, false, {}, {}, nullptr, nullptr);
    y += 7;
    item ("More", true, false, false, true, {});
    item ("Unavailable", false, false, false, false, {});
}

// 48 × 24: a capsule whose ends carry a dot each and whose middle carries
// thin stripes, so a stretched cap or a squeezed middle shows.
juce::Image capsuleArtwork()
{
    juce::Image art (juce::Image::ARGB, 48, 24, true);
    juce::Graphics g (art);
    g.setColour (juce::Colour (0xff3a2a26));
    g.fillRoundedRectangle (0.0f, 0.0f, 48.0f, 24.0f, 12.0f);
    g.setColour (juce::Colour (0xfff4bb3b));
    g.fillEllipse (4.0f, 8.0f, 8.0f, 8.0f);
    g.fillEllipse (36.0f, 8.0f, 8.0f, 8.0f);
    g.setColour (juce::Colour (0xffe8e2c4));
    for (int x = 16; x < 32; x += 4)
        g.fillRect (x, 6, 1, 12);
    return art;
}

class Pictures : public ::testing::TestWithParam<float>
{
protected:
    float scale() const { return GetParam(); }
    juce::String golden (const char* name) const { return GoldenPicture::nameAt (name, scale()); }

    const Theme theme = productTheme();
};

TEST_P (Pictures, ButtonsTogglesAndRotary)
{
    ControlsScene scene (theme);
    EXPECT_TRUE (GoldenPicture::matches (PictureRenderer::ofComponent (scene, scale()), golden ("controls")));
}

TEST_P (Pictures, PopupMenu)
{
    LookAndFeel lookAndFeel (theme);
    const auto picture = PictureRenderer::ofDrawing (210, 147, scale(), [&] (juce::Graphics& g) { drawPopupMenu (g, lookAndFeel); });
    EXPECT_TRUE (GoldenPicture::matches (picture, golden ("popup-menu")));
}

TEST_P (Pictures, CardWithItsShadow)
{
    melatonin::DropShadow shadow (theme.cardShadow.toShadow());
    const auto picture = PictureRenderer::ofDrawing (220, 150, scale(), [&] (juce::Graphics& g) {
        g.fillAll (theme.background);
        drawCard (g, { 30.0f, 22.0f, 160.0f, 96.0f }, theme, &shadow);
    });
    EXPECT_TRUE (GoldenPicture::matches (picture, golden ("card")));
}

TEST_P (Pictures, ThreeSliceImageWithItsShadow)
{
    const auto art = capsuleArtwork();
    ThreeSliceCache wide, short_;
    ImageShadow wideShadow (theme.controlShadow), shortShadow (theme.controlShadow);
    const auto picture = PictureRenderer::ofDrawing (220, 84, scale(), [&] (juce::Graphics& g) {
        g.fillAll (theme.background);
        wideShadow.draw (g, art, { 10.0f, 10.0f, 200.0f, 24.0f }, 14);
        drawThreeSliceImage (g, art, { 10, 10, 200, 24 }, 14, &wide);
        shortShadow.draw (g, art, { 10.0f, 44.0f, 90.0f, 32.0f }, 14);
        drawThreeSliceImage (g, art, { 10, 44, 90, 32 }, 14, &short_);
    });
    EXPECT_TRUE (GoldenPicture::matches (picture, golden ("three-slice")));
}

std::string scaleName (const ::testing::TestParamInfo<float>& scale)
{
    return std::to_string (juce::roundToInt (scale.param)) + "x";
}

INSTANTIATE_TEST_SUITE_P (AtScale, Pictures, ::testing::Values (1.0f, 2.0f), scaleName);

} // namespace
} // namespace vo::test
