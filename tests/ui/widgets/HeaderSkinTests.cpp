// The header's veil and skins, drawn straight into pictures: the veil's
// rounded top, the skins' sizes, their pressed look, and how they look on
// the backdrop at 1× and 2× against their golden (tests/ui/goldens).

#include "plugin/ui/ProductTheme.h"
#include "plugin/ui/widgets/Backdrop.h"
#include "plugin/ui/widgets/HeaderVeil.h"
#include "plugin/ui/widgets/ZelIconSkin.h"
#include "plugin/ui/widgets/ZelPresetSkin.h"
#include "tests/gui/support/GoldenPicture.h"
#include "tests/gui/support/PictureRenderer.h"

#include <gtest/gtest.h>

#include <functional>

namespace vo::test
{
namespace
{

using namespace plugins::zel::ui;

// The sizes the editor gives the header's buttons.
const juce::Rectangle<float> kIconCell { 0.0f, 0.0f, 44.0f, 44.0f };
const juce::Rectangle<float> kArrowCell { 0.0f, 0.0f, 36.0f, 46.0f };
const juce::Rectangle<float> kNameCell { 0.0f, 0.0f, 176.0f, 46.0f };

// The circle the header hands the icon skin for a button: its smaller side,
// less a pixel on each side and the skin's ring inset.
juce::Rectangle<float> iconCircleIn (juce::Rectangle<float> cell)
{
    const auto d = juce::jmin (cell.getWidth(), cell.getHeight()) - 2.0f - 2.0f * ZelIconSkin::kRingInset;
    return juce::Rectangle<float> (d, d).withCentre (cell.getCentre());
}

class HeaderSkins : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI gui;
    gui::Theme theme = productTheme();
    ZelIconSkin iconSkin { theme };
    ZelPresetSkin presetSkin { theme };
};

TEST (HeaderVeil, RoundsOnlyItsTopCornersAndTakesNoClicks)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    HeaderVeil veil;
    veil.setBounds (0, 0, 200, 60);
    veil.setCornerRadius (24.0f);
    veil.setVeilColour (juce::Colour (0xff336699));
    const auto picture = PictureRenderer::ofComponent (veil, 1.0f);

    EXPECT_EQ (picture.getPixelAt (0, 0).getAlpha(), 0);
    EXPECT_EQ (picture.getPixelAt (199, 0).getAlpha(), 0);
    EXPECT_EQ (picture.getPixelAt (100, 30), juce::Colour (0xff336699));
    EXPECT_EQ (picture.getPixelAt (100, 0).getAlpha(), 255);
    // The shape runs on 2 × 24 pixels below the veil: its bottom corners are
    // filled exactly like its straight sides above them.
    EXPECT_EQ (picture.getPixelAt (0, 59), picture.getPixelAt (0, 30));
    EXPECT_EQ (picture.getPixelAt (199, 59), picture.getPixelAt (199, 30));
    EXPECT_GT (picture.getPixelAt (199, 59).getAlpha(), 250);

    bool self = true, children = true;
    veil.getInterceptsMouseClicks (self, children);
    EXPECT_FALSE (self);
    EXPECT_FALSE (children);
}

TEST_F (HeaderSkins, ShrinkTheIconCirclesByEightAndLeaveTheArrowTextsToTheHeader)
{
    EXPECT_EQ (iconSkin.ringInset(), 8);
    juce::Image canvas (juce::Image::ARGB, 4, 4, true);
    juce::Graphics g (canvas);
    juce::TextButton previous ("<");
    EXPECT_FALSE (presetSkin.drawsArrowText (g, previous, false));
    EXPECT_FALSE (presetSkin.drawsArrowText (g, previous, true));
}

TEST_F (HeaderSkins, PlaceTheWindowEightInsideAndTheArrowsAtMostTwentyFourAcross)
{
    EXPECT_EQ (ZelPresetSkin::windowBounds (kNameCell, false), juce::Rectangle<int> (8, 8, 160, 30));
    EXPECT_EQ (ZelPresetSkin::windowBounds (kNameCell, true), juce::Rectangle<int> (8, 9, 160, 30));
    EXPECT_EQ (ZelPresetSkin::arrowCircle (kArrowCell), juce::Rectangle<float> (6.0f, 11.0f, 24.0f, 24.0f));
    EXPECT_FLOAT_EQ (ZelPresetSkin::arrowCircle ({ 0.0f, 0.0f, 20.0f, 46.0f }).getWidth(), 20.0f);

    // A name button too small for a window shows nothing at all.
    const auto picture = PictureRenderer::ofDrawing (16, 40, 1.0f, [this] (juce::Graphics& g) {
        presetSkin.drawNameBackground (g, { 0.0f, 0.0f, 16.0f, 40.0f }, false, false);
    });
    for (int y = 0; y < picture.getHeight(); ++y)
        for (int x = 0; x < picture.getWidth(); ++x)
            ASSERT_EQ (picture.getPixelAt (x, y).getAlpha(), 0) << x << ", " << y;
}

// Where a picture's coverage sits vertically, and how much light it holds.
struct Look
{
    double centreY = 0.0;
    double light = 0.0;
};

Look lookOf (const juce::Image& picture)
{
    double coverage = 0.0, weightedY = 0.0, light = 0.0;
    for (int y = 0; y < picture.getHeight(); ++y)
        for (int x = 0; x < picture.getWidth(); ++x)
        {
            const auto pixel = picture.getPixelAt (x, y);
            const auto alpha = pixel.getFloatAlpha();
            coverage += alpha;
            weightedY += alpha * y;
            light += alpha * (pixel.getRed() + pixel.getGreen() + pixel.getBlue());
        }
    return { weightedY / juce::jmax (coverage, 1.0), light };
}

TEST_F (HeaderSkins, DrawEveryPressedPartOnePixelLowerAndDarker)
{
    using Drawing = std::function<void (juce::Graphics&, bool down)>;
    const struct
    {
        const char* part;
        juce::Rectangle<float> cell;
        Drawing draw;
    } parts[] = {
        { "icon", kIconCell, [this] (auto& g, bool down) { iconSkin.paintButton (g, iconCircleIn (kIconCell), down, false); } },
        { "arrow", kArrowCell, [this] (auto& g, bool down) { presetSkin.drawArrow (g, kArrowCell, -1, down, false); } },
        { "name", kNameCell, [this] (auto& g, bool down) { presetSkin.drawNameBackground (g, kNameCell, down, false); } },
    };
    for (const auto& part : parts)
    {
        SCOPED_TRACE (part.part);
        const auto width = static_cast<int> (part.cell.getWidth());
        const auto height = static_cast<int> (part.cell.getHeight());
        const auto up = lookOf (PictureRenderer::ofDrawing (width, height, 1.0f, [&] (auto& g) { part.draw (g, false); }));
        const auto down = lookOf (PictureRenderer::ofDrawing (width, height, 1.0f, [&] (auto& g) { part.draw (g, true); }));
        EXPECT_NEAR (down.centreY - up.centreY, 1.0, 0.05);
        // A black veil of 6 %: the artwork keeps most of its light.
        EXPECT_LT (down.light, 0.97 * up.light);
        EXPECT_GT (down.light, 0.90 * up.light);
    }
}

// The header's controls side by side on the backdrop: the icon skin up and
// down, the previous and next arrows, the name window up and down.
class HeaderSkinPictures : public ::testing::TestWithParam<float>
{
protected:
    static constexpr int kMargin = 40; // clear of the backdrop's corner screws
    static constexpr float kGap = 8.0f;

    juce::ScopedJuceInitialiser_GUI gui;
    gui::Theme theme = productTheme();
    ZelIconSkin iconSkin { theme };
    ZelPresetSkin presetSkin { theme };
    Backdrop backdrop { theme };
};

TEST_P (HeaderSkinPictures, UpAndDown)
{
    const auto width = 2 * kMargin + 2 * 44 + 2 * 36 + 2 * 176 + 5 * static_cast<int> (kGap);
    const auto height = 2 * kMargin + 46;
    backdrop.setBounds (0, 0, width, height);

    const auto picture = PictureRenderer::ofDrawing (width, height, GetParam(), [this] (juce::Graphics& g) {
        backdrop.paintEntireComponent (g, false);
        auto x = static_cast<float> (kMargin);
        const auto top = static_cast<float> (kMargin);
        const auto next = [&x, top] (juce::Rectangle<float> cell) {
            const auto placed = cell.withPosition (x, top + (46.0f - cell.getHeight()) / 2.0f);
            x += cell.getWidth() + kGap;
            return placed;
        };
        iconSkin.paintButton (g, iconCircleIn (next (kIconCell)), false, false);
        iconSkin.paintButton (g, iconCircleIn (next (kIconCell)), true, false);
        presetSkin.drawArrow (g, next (kArrowCell), -1, false, false);
        presetSkin.drawArrow (g, next (kArrowCell), 1, false, false);
        presetSkin.drawNameBackground (g, next (kNameCell), false, false);
        presetSkin.drawNameBackground (g, next (kNameCell), true, false);
    });
    EXPECT_TRUE (GoldenPicture::matches (picture, GoldenPicture::nameAt ("header-skins", GetParam())));
}

INSTANTIATE_TEST_SUITE_P (AtScale, HeaderSkinPictures, ::testing::Values (1.0f, 2.0f));

} // namespace
} // namespace vo::test
