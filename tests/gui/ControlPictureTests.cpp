// The controls' pictures, compared with their goldens at 1× and 2×: the
// product's image knob and the plain knob at rest, hovered and bipolar at
// its centre; a value chip while typing; short and wrapped tooltips.

#include "support/ControlFixture.h"
#include "support/GoldenPicture.h"
#include "support/PictureRenderer.h"
#include "support/SyntheticMouse.h"

#include "gui/Knob.h"
#include "gui/LookAndFeel.h"
#include "gui/TooltipLayer.h"
#include "gui/ValueChip.h"

#include <gtest/gtest.h>

namespace vo::test
{
using vo::gui::Knob;
using vo::gui::LookAndFeel;
using vo::gui::Theme;
using vo::gui::TooltipLayer;
using vo::gui::ValueChip;

namespace
{

// Three knobs side by side on the editor background.
class KnobScene : public juce::Component
{
public:
    KnobScene (core::StateManager& state, const Theme& themeToUse)
        : theme (themeToUse),
          atRest (state, "amount", "Amount", theme, false, {}, Knob::Size::Large),
          hovered (state, "smooth", "Smooth", theme, false, {}, Knob::Size::Large),
          bipolar (state, "pan", "Pan", theme, true, {}, Knob::Size::Large)
    {
        setSize (330, 130);
        int x = 10;
        for (auto* knob : { &atRest, &hovered, &bipolar })
        {
            addAndMakeVisible (*knob);
            knob->setBounds (x, 5, 100, 120);
            x += 105;
        }
        SyntheticMouse (hovered).enter ({ 50.0f, 50.0f });
    }

    void paint (juce::Graphics& g) override { g.fillAll (theme.background); }

private:
    const Theme theme;
    Knob atRest, hovered, bipolar;
};

class ChipScene : public juce::Component
{
public:
    ChipScene (core::StateManager& state, const Theme& themeToUse)
        : theme (themeToUse), lookAndFeel (theme), resting (state, "release", theme, {}), typing (state, "amount", theme, {})
    {
        setLookAndFeel (&lookAndFeel);
        setSize (160, 36);
        addAndMakeVisible (resting);
        addAndMakeVisible (typing);
        resting.setBounds (8, 8, 64, 20);
        typing.setBounds (88, 8, 64, 20);
        SyntheticMouse (typing).click ({ 32.0f, 10.0f });
        if (auto* editor = typing.getEditor())
        {
            editor->selectAll();
            editor->insertTextAtCaret ("42");
        }
    }

    ~ChipScene() override
    {
        typing.commitEditor (false);
        setLookAndFeel (nullptr);
    }

    void paint (juce::Graphics& g) override { g.fillAll (theme.background); }

private:
    const Theme theme;
    LookAndFeel lookAndFeel;
    ValueChip resting, typing;
};

class TooltipScene : public juce::Component
{
public:
    TooltipScene (const Theme& themeToUse, const juce::String& text) : theme (themeToUse), layer (theme)
    {
        setSize (300, 110);
        addAndMakeVisible (control);
        control.setBounds (130, 6, 40, 16);
        addChildComponent (layer);
        layer.requestShow (&control, text);
        layer.showNow();
    }

    void paint (juce::Graphics& g) override { g.fillAll (theme.background); }

private:
    const Theme theme;
    juce::Component control;
    TooltipLayer layer;
};

class ControlPictures : public ControlFixture,
                        public ::testing::WithParamInterface<float>
{
protected:
    float scale() const { return GetParam(); }
    juce::String golden (const char* name) const { return GoldenPicture::nameAt (name, scale()); }

    void setValues()
    {
        setPlain ("amount", 60.0f);
        setPlain ("smooth", 45.0f);
        setPlain ("pan", 0.0f);
        setPlain ("release", 150.0f);
    }
};

TEST_P (ControlPictures, ImageKnobs)
{
    setValues();
    KnobScene scene (state(), theme);
    EXPECT_TRUE (GoldenPicture::matches (PictureRenderer::ofComponent (scene, scale()), golden ("knob-image")));
}

TEST_P (ControlPictures, PlainKnobs)
{
    setValues();
    auto plainTheme = theme;
    plainTheme.knobStyle = 0;
    KnobScene scene (state(), plainTheme);
    EXPECT_TRUE (GoldenPicture::matches (PictureRenderer::ofComponent (scene, scale()), golden ("knob-plain")));
}

TEST_P (ControlPictures, ChipWhileTyping)
{
    setValues();
    ChipScene scene (state(), theme);
    EXPECT_TRUE (GoldenPicture::matches (PictureRenderer::ofComponent (scene, scale()), golden ("chip-typing")));
}

TEST_P (ControlPictures, ShortTooltip)
{
    TooltipScene scene (theme, "How deep the cut goes");
    EXPECT_TRUE (GoldenPicture::matches (PictureRenderer::ofComponent (scene, scale()), golden ("tooltip-short")));
}

TEST_P (ControlPictures, WrappedTooltip)
{
    TooltipScene scene (theme, "How far each cut spreads into the neighbouring bands: a narrow notch at the "
                               "left, a broad and gentle dip at the right");
    EXPECT_TRUE (GoldenPicture::matches (PictureRenderer::ofComponent (scene, scale()), golden ("tooltip-wrapped")));
}

std::string scaleName (const ::testing::TestParamInfo<float>& scale)
{
    return std::to_string (juce::roundToInt (scale.param)) + "x";
}

INSTANTIATE_TEST_SUITE_P (AtScale, ControlPictures, ::testing::Values (1.0f, 2.0f), scaleName);

} // namespace
} // namespace vo::test
