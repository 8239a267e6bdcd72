// The header bar on the real product's processor: where its buttons go in
// both layouts, what the preset name says, A/B and the settings menu.

#include "support/ControlFixture.h"
#include "support/SyntheticMouse.h"

#include "gui/HeaderBar.h"

#include "core/MessagePump.h"

#include <vector>

namespace vo::test
{
using vo::gui::HeaderBar;

namespace
{

struct MenuRow
{
    juce::String text;
    bool enabled = true;
    bool ticked = false;
    bool header = false;
    bool separator = false;
};

std::vector<MenuRow> rowsOf (const juce::PopupMenu& menu)
{
    std::vector<MenuRow> rows;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        rows.push_back ({ item.text, item.isEnabled, item.isTicked, item.isSectionHeader, item.isSeparator });
    }
    return rows;
}

const MenuRow* findRow (const std::vector<MenuRow>& rows, const juce::String& text)
{
    for (const auto& row : rows)
        if (row.text == text)
            return &row;
    return nullptr;
}

class HeaderBarTest : public ControlFixture
{
protected:
    HeaderBarTest() { header.setSize (780, 56); }

    HeaderBar header { processor, theme };
};

} // namespace

TEST_F (HeaderBarTest, StandardLayoutFillsTheButtonRowFromTheRight)
{
    EXPECT_EQ (header.getSettingsButton().getBounds(), juce::Rectangle<int> (740, 14, 28, 28));
    EXPECT_EQ (header.getHelpButton().getBounds(), juce::Rectangle<int> (709, 14, 28, 28));
    EXPECT_EQ (header.getRedoButton().getBounds(), juce::Rectangle<int> (679, 14, 22, 28));
    EXPECT_EQ (header.getUndoButton().getBounds(), juce::Rectangle<int> (657, 14, 22, 28));
    EXPECT_EQ (header.getSlotButton (1).getBounds(), juce::Rectangle<int> (625, 16, 24, 24));
    EXPECT_EQ (header.getSlotButton (0).getBounds(), juce::Rectangle<int> (597, 16, 24, 24));

    // The preset group is 330 wide at most and centred in the middle area.
    const auto previous = header.getPreviousButton().getBounds();
    const auto next = header.getNextButton().getBounds();
    EXPECT_EQ (previous.getHeight(), 28);
    EXPECT_EQ (previous.getWidth(), 22);
    EXPECT_EQ (next.getRight() - previous.getX(), 330);
    EXPECT_EQ (header.getNameButton().getX(), previous.getRight() + 3);
    EXPECT_EQ (header.getNameButton().getRight(), next.getX() - 3);

    // A narrow header shrinks the budget, never the button order.
    header.setSize (160, 56);
    EXPECT_LE (header.getSlotButton (0).getRight(), header.getSlotButton (1).getX());
    EXPECT_GE (header.getSlotButton (0).getX(), 12);
    EXPECT_EQ (header.getSettingsButton().getRight(), 148);
}

TEST_F (HeaderBarTest, CompactLayoutPutsTheIconsAtTheEdgeAndTheGroupInTheMiddle)
{
    header.historyInMenu = true;
    header.resized();
    EXPECT_EQ (header.getSettingsButton().getBounds(), juce::Rectangle<int> (736, 14, 28, 28));
    EXPECT_EQ (header.getHelpButton().getBounds(), juce::Rectangle<int> (700, 14, 28, 28));
    const auto previous = header.getPreviousButton().getBounds();
    EXPECT_EQ (header.getNextButton().getRight() - previous.getX(), 150);
    EXPECT_EQ (previous.getHeight(), 24);
    EXPECT_EQ (previous.getY(), 16);

    juce::Component left;
    header.historyInMenu = false;
    header.setLeftComponent (&left, 30);
    EXPECT_EQ (left.getBounds(), juce::Rectangle<int> (700 - 8 - 30, 13, 30, 30));
    EXPECT_EQ (header.getRedoButton().getRight(), 662 - 8);
    EXPECT_EQ (header.getSlotButton (0).getRight(), header.getSlotButton (1).getX() - 2);
    header.setLeftComponent (nullptr, 0);
}

TEST_F (HeaderBarTest, PresetNameShowsDefaultThenMarksAChangeUntilSaved)
{
    EXPECT_EQ (header.getNameButton().getButtonText(), "default");

    auto& presets = processor.getPresetManager();
    const auto factory = presets.getFactoryPresetNames()[0];
    ASSERT_TRUE (presets.loadPreset (factory));
    ASSERT_TRUE (core::MessagePump::runUntil ([&] { return header.getNameButton().getButtonText() == factory; }, 2000))
        << header.getNameButton().getButtonText();
    EXPECT_EQ (header.getNameButton().getButtonText(), factory) << "refreshed by the change message";

    auto& amount = parameter ("amount");
    amount.setValueNotifyingHost (amount.getValue() + 0.00005f);
    header.refresh();
    EXPECT_EQ (header.getNameButton().getButtonText(), factory) << "within the threshold";

    amount.setValueNotifyingHost (amount.getValue() > 0.5f ? 0.1f : 0.9f);
    header.refresh();
    EXPECT_EQ (header.getNameButton().getButtonText(), factory + " *");

    ASSERT_TRUE (presets.savePreset ("Mine"));
    header.refresh();
    EXPECT_EQ (header.getNameButton().getButtonText(), "Mine");
}

TEST_F (HeaderBarTest, SwitchingToANeverStoredSlotKeepsTheSound)
{
    setPlain ("amount", 40.0f);
    SyntheticMouse (header.getSlotButton (1)).click ({ 5.0f, 5.0f });
    EXPECT_EQ (state().getCurrentSlot(), 1);
    EXPECT_FLOAT_EQ (plain ("amount"), 40.0f);
    EXPECT_TRUE (header.getSlotButton (1).getToggleState());

    setPlain ("amount", 70.0f);
    header.selectSlot (1);
    EXPECT_FLOAT_EQ (plain ("amount"), 70.0f) << "the current slot again: nothing happens";

    header.selectSlot (0);
    EXPECT_FLOAT_EQ (plain ("amount"), 40.0f);
    header.selectSlot (1);
    EXPECT_FLOAT_EQ (plain ("amount"), 70.0f);
}

TEST_F (HeaderBarTest, UndoButtonUndoesAndFollowsTheUndoManager)
{
    EXPECT_FALSE (header.getUndoButton().isEnabled());
    state().beginTransaction();
    setPlain ("amount", 33.0f);
    state().flushToTree();
    header.refresh();
    ASSERT_TRUE (header.getUndoButton().isEnabled());

    const float before = plain ("amount");
    SyntheticMouse (header.getUndoButton()).click ({ 5.0f, 5.0f });
    EXPECT_NE (plain ("amount"), before);
    EXPECT_TRUE (header.getRedoButton().isEnabled());
}

TEST_F (HeaderBarTest, SettingsMenuListsItsItemsInOrder)
{
    header.infoLine = "by velmora";
    header.setMakerInfo ({ "velmora", "by velmora", "https://velmora.audio", "support@velmora.audio" });
    state().setEditorScale (1.5f);
    auto rows = rowsOf (header.buildSettingsMenu());

    ASSERT_FALSE (rows.empty());
    EXPECT_TRUE (rows[0].header);
    EXPECT_EQ (rows[0].text, juce::String::fromUTF8 ("ZEL  \xc2\xb7  v") + processor.getVersion()
                                 + juce::String::fromUTF8 ("  \xc2\xb7  Undefined"));
    EXPECT_EQ (rows[1].text, "by velmora");
    EXPECT_FALSE (rows[1].enabled);
    EXPECT_EQ (findRow (rows, "undo"), nullptr) << "history stays on the buttons";
    EXPECT_EQ (findRow (rows, "language"), nullptr) << "no language callback, no language section";

    for (const char* size : { "100 %", "125 %", "200 %" })
        EXPECT_FALSE (findRow (rows, size)->ticked) << size;
    EXPECT_TRUE (findRow (rows, "150 %")->ticked);

    const auto* latency = findRow (rows, "latency: 0 samples");
    ASSERT_NE (latency, nullptr) << "an unprepared processor shows no milliseconds";
    EXPECT_FALSE (latency->enabled);
    EXPECT_NE (findRow (rows, "velmora.audio"), nullptr);
    EXPECT_NE (findRow (rows, "support: support@velmora.audio"), nullptr);

    header.historyInMenu = true;
    header.language = gui::i18n::Lang::German;
    header.onLanguageChosen = [] (gui::i18n::Lang) {};
    processor.setRateAndBufferSizeDetails (48000.0, 512);
    processor.setLatencySamples (96);
    rows = rowsOf (header.buildSettingsMenu());
    EXPECT_NE (findRow (rows, "undo"), nullptr);
    EXPECT_TRUE (findRow (rows, "slot a")->ticked);
    EXPECT_FALSE (findRow (rows, "slot b")->ticked);
    EXPECT_TRUE (findRow (rows, "deutsch")->ticked);
    EXPECT_NE (findRow (rows, "latenz: 96 samples  (2.00 ms)"), nullptr);
}

TEST_F (HeaderBarTest, SkinnedHelpButtonTakesClicksOnlyOnItsCircle)
{
    struct RingSkin : HeaderBar::IconSkin
    {
        void paintButton (juce::Graphics&, juce::Rectangle<float>, bool, bool) override {}
        int ringInset() override { return 8; }
    } skin;

    auto& help = header.getHelpButton();
    EXPECT_TRUE (help.hitTest (0, 0)) << "unskinned buttons take their whole bounds";
    header.setIconSkin (&skin);
    EXPECT_FLOAT_EQ (help.circleBounds().getWidth(), 28.0f - 2.0f - 16.0f);
    EXPECT_FALSE (help.hitTest (1, 1));
    EXPECT_TRUE (help.hitTest (14, 14));
    EXPECT_TRUE (header.getUndoButton().hitTest (0, 0));
    header.setIconSkin (nullptr);
}

} // namespace vo::test
