// The update panel: where its card and rows go, which buttons each state
// shows, how it closes (keys, clicks, buttons), the do-not-ask toggle, and
// how it looks at 1× and 2× against its goldens (tests/ui/goldens).

#include "support/SyntheticClicks.h"

#include "plugin/ui/ProductTheme.h"
#include "plugin/ui/UpdatePanel.h"
#include "plugin/ui/i18n/Tables.h"
#include "tests/gui/support/GoldenPicture.h"
#include "tests/gui/support/PictureRenderer.h"

#include <gtest/gtest.h>

#include <vector>

namespace vo::test
{
namespace
{

using plugins::zel::UpdatePanel;
using plugins::zel::ui::CapsuleButton;
using Rect = juce::Rectangle<int>;

constexpr int kWidth = 780;
constexpr int kHeight = 560;

juce::Component& child (UpdatePanel& panel, const juce::String& name)
{
    for (auto* c : panel.getChildren())
        if (c->getName() == name)
            return *c;
    ADD_FAILURE() << "no child named " << name;
    return panel;
}

// The panel over a plain, dark editor content, as the editor shows it.
class UpdatePanelTest : public ::testing::Test
{
protected:
    UpdatePanelTest()
    {
        root.setBounds (0, 0, kWidth, kHeight);
        root.setVisible (true);
        panel.setTexts (plugins::zel::i18n::tableFor (plugins::zel::i18n::kEnglish));
        panel.setRelease ({ "1.2.0", {}, "https://example.org/zel-1.2.0.exe" });
        panel.setState (UpdatePanel::available);
        panel.setBounds (root.getLocalBounds());
        panel.onClose = [this] { ++closes; };
        root.addAndMakeVisible (panel);
    }

    void clickOn (const juce::String& name)
    {
        const auto centre = child (panel, name).getBounds().getCentre().toFloat();
        SyntheticClicks::click (root, centre);
    }

    // Shows the panel again after a close; true when the click closed it.
    bool clickCloses (int x, int y)
    {
        panel.setVisible (true);
        const auto before = closes;
        SyntheticClicks::click (root, { static_cast<float> (x), static_cast<float> (y) });
        return ! panel.isVisible() && closes == before + 1;
    }

    juce::ScopedJuceInitialiser_GUI gui;
    gui::Theme theme = plugins::zel::ui::productTheme();
    juce::Component root;
    UpdatePanel panel { theme };
    int closes = 0;
};

TEST (UpdatePanelLayout, CentresTheCardAndStacksItsRowsFromTheBottomUp)
{
    const auto full = UpdatePanel::layoutFor (kWidth, kHeight);
    EXPECT_EQ (full.card, Rect (150, 195, 480, 170));
    EXPECT_EQ (full.title, Rect (170, 211, 440, 20));
    EXPECT_EQ (full.message, Rect (170, 239, 440, 36));
    EXPECT_EQ (full.toggleRow, Rect (170, 279, 440, 36));
    EXPECT_EQ (full.buttonRow, Rect (170, 321, 440, 28));

    const auto narrow = UpdatePanel::layoutFor (300, 400);
    EXPECT_EQ (narrow.card, Rect (16, 115, 268, 170));
    EXPECT_EQ (narrow.buttonRow.getWidth(), 228);

    // Smaller than its paddings: every row empty, and still inside the card.
    const auto tiny = UpdatePanel::layoutFor (60, 50);
    EXPECT_EQ (tiny.card, Rect (16, 16, 28, 18));
    for (const auto& row : { tiny.title, tiny.message, tiny.toggleRow, tiny.buttonRow })
    {
        EXPECT_TRUE (row.isEmpty()) << row.toString();
        EXPECT_TRUE (tiny.card.contains (row)) << row.toString();
    }
}

TEST_F (UpdatePanelTest, PutsTheCapsulesInTheWidenedRowAndShrinksThemTogether)
{
    const auto yesWidth = CapsuleButton::preferredWidthFor ("yes");
    const auto noWidth = CapsuleButton::preferredWidthFor ("no");
    EXPECT_EQ (child (panel, "update yes").getBounds(), Rect (162, 313, yesWidth, 44));
    EXPECT_EQ (child (panel, "update no").getBounds(), Rect (162 + yesWidth, 313, noWidth, 44));
    EXPECT_EQ (child (panel, "update ask").getBounds(), Rect (170, 279, 36, 36));

    // 150 wide: a 78-pixel row, 94 with the insets, for two capsules that want more.
    ASSERT_GT (yesWidth + noWidth, 94);
    panel.setSize (150, kHeight);
    const auto yes = child (panel, "update yes").getBounds();
    const auto no = child (panel, "update no").getBounds();
    EXPECT_EQ (yes.getX(), 16 + 20 - 8);
    EXPECT_EQ (yes.getWidth(), yesWidth * 94 / (yesWidth + noWidth));
    EXPECT_EQ (no.getX(), yes.getRight());
    EXPECT_LE (no.getRight(), 16 + 20 + 78 + 8);
}

TEST_F (UpdatePanelTest, OffersYesNoAndTheToggleOnlyWhenAReleaseIsAvailable)
{
    EXPECT_EQ (panel.getMessage(), "ZEL 1.2.0 is available. Install it now?");
    EXPECT_TRUE (child (panel, "update yes").isVisible());
    EXPECT_TRUE (child (panel, "update no").isVisible());
    EXPECT_TRUE (child (panel, "update ask").isVisible());
    EXPECT_FALSE (child (panel, "update close").isVisible());

    for (const auto state : { UpdatePanel::upToDate, UpdatePanel::noConnection, UpdatePanel::looking })
    {
        panel.setState (state);
        EXPECT_FALSE (child (panel, "update yes").isVisible()) << state;
        EXPECT_FALSE (child (panel, "update no").isVisible()) << state;
        EXPECT_FALSE (child (panel, "update ask").isVisible()) << state;
        EXPECT_TRUE (child (panel, "update close").isVisible()) << state;
        EXPECT_EQ (child (panel, "update close").getBounds().getPosition(), juce::Point<int> (162, 313));
    }
    EXPECT_EQ (panel.getMessage(), "Looking for updates \xe2\x80\xa6");
}

TEST_F (UpdatePanelTest, ClosesOnPlainEscapeAndOnClicksOutsideTheCard)
{
    EXPECT_FALSE (panel.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey, juce::ModifierKeys::shiftModifier, 0)));
    EXPECT_FALSE (panel.keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
    EXPECT_TRUE (panel.isVisible());
    EXPECT_EQ (closes, 0);
    EXPECT_TRUE (panel.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (panel.isVisible());
    EXPECT_EQ (closes, 1);

    // The card is (150, 195, 480, 170).
    EXPECT_TRUE (clickCloses (390, 100));
    EXPECT_TRUE (clickCloses (390, 500));
    EXPECT_FALSE (clickCloses (156, 200)); // the card's padding
    EXPECT_FALSE (clickCloses (150, 250));
    EXPECT_FALSE (clickCloses (390, 195));
    EXPECT_TRUE (clickCloses (149, 250));
    EXPECT_TRUE (clickCloses (630, 250));
    EXPECT_TRUE (clickCloses (390, 365));
    EXPECT_FALSE (clickCloses (629, 364));
}

TEST_F (UpdatePanelTest, FlipsTheToggleAtOnceAndReportsEveryFlip)
{
    const auto& ask = dynamic_cast<plugins::zel::ui::RoundButton&> (child (panel, "update ask"));
    std::vector<bool> heard;
    panel.onDontAskChanged = [&heard] (bool dontAsk) { heard.push_back (dontAsk); };

    clickOn ("update ask");
    EXPECT_TRUE (panel.getDontAsk());
    EXPECT_FLOAT_EQ (ask.getGlow(), 1.0f);
    clickOn ("update ask");
    EXPECT_FALSE (panel.getDontAsk());
    EXPECT_FLOAT_EQ (ask.getGlow(), 0.0f);
    EXPECT_EQ (heard, (std::vector<bool> { true, false }));
    EXPECT_TRUE (panel.isVisible());
    EXPECT_EQ (closes, 0);

    // The stored setting is shown at once, and is nobody's news.
    panel.setDontAsk (true);
    EXPECT_FLOAT_EQ (ask.getGlow(), 1.0f);
    EXPECT_EQ (heard.size(), 2u);
}

TEST_F (UpdatePanelTest, HandsOnEvenAnEmptyInstallerAndClosesOnYes)
{
    std::vector<juce::String> links;
    panel.onOpenLink = [&links] (const juce::String& address) { links.push_back (address); };
    panel.setRelease ({ "1.2.0", {}, {} });

    clickOn ("update yes");
    EXPECT_EQ (links, (std::vector<juce::String> { juce::String() }));
    EXPECT_FALSE (panel.isVisible());
    EXPECT_EQ (closes, 1);

    panel.setVisible (true);
    clickOn ("update no");
    EXPECT_EQ (links.size(), 1u);
    EXPECT_FALSE (panel.isVisible());
    EXPECT_EQ (closes, 2);
}

class UpdatePanelPictures : public ::testing::TestWithParam<float>
{
protected:
    juce::ScopedJuceInitialiser_GUI gui;
};

// A plain dark content under the panel, so the scrim's dimming shows.
class PlainContent : public juce::Component
{
public:
    void paint (juce::Graphics& g) override { g.fillAll (juce::Colour (0xff2a1f1d)); }
};

juce::Image pictureOf (int state, float scale)
{
    const auto theme = plugins::zel::ui::productTheme();
    PlainContent content;
    content.setBounds (0, 0, kWidth, kHeight);
    UpdatePanel panel (theme);
    panel.setTexts (plugins::zel::i18n::tableFor (plugins::zel::i18n::kEnglish));
    panel.setRelease ({ "1.2.0", {}, "https://example.org/zel-1.2.0.exe" });
    panel.setState (state);
    panel.setCornerRadius (24.0f);
    panel.setBounds (content.getLocalBounds());
    content.addAndMakeVisible (panel);
    return PictureRenderer::ofComponent (content, scale);
}

TEST_P (UpdatePanelPictures, OfferingARelease)
{
    EXPECT_TRUE (GoldenPicture::matches (pictureOf (UpdatePanel::available, GetParam()),
                                         GoldenPicture::nameAt ("update-available", GetParam())));
}

TEST_P (UpdatePanelPictures, WithoutAConnection)
{
    EXPECT_TRUE (GoldenPicture::matches (pictureOf (UpdatePanel::noConnection, GetParam()),
                                         GoldenPicture::nameAt ("update-no-connection", GetParam())));
}

INSTANTIATE_TEST_SUITE_P (AtScale, UpdatePanelPictures, ::testing::Values (1.0f, 2.0f));

} // namespace
} // namespace vo::test
