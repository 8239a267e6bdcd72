// The editor shell through a small editor derived from it, on the real
// product's processor: the remembered scale, resizing, keys, the preset
// panel's clicks, the bypass scrim and the open/close bookkeeping.

#include "support/ControlFixture.h"
#include "support/SyntheticMouse.h"

#include "gui/EditorShell.h"
#include "gui/i18n/LanguageFile.h"
#include "gui/i18n/Translate.h"

#include "core/MessagePump.h"
#include "diagnostics/DiagLog.h"

#include <gtest/gtest.h>

#include <memory>

namespace vo::test
{
using vo::gui::EditorShell;
using vo::gui::Theme;

namespace
{

class TestEditor : public EditorShell
{
public:
    TestEditor (core::ProcessorBase& p, const Theme& t) : EditorShell (p, t, kDesignWidth, kDefaultDesignHeight)
    {
        getBody().addAndMakeVisible (control);
        control.setBounds (20, 20, 100, 40);
    }

    juce::Component control;
};

class EditorShellTest : public ControlFixture
{
protected:
    ~EditorShellTest() override { scaleFile().deleteFile(); }

    juce::File scaleFile() const { return processor.getUserDataFolder().getChildFile ("ui-scale.txt"); }

    void storeScaleText (const juce::String& text)
    {
        ASSERT_TRUE (scaleFile().getParentDirectory().createDirectory());
        ASSERT_TRUE (scaleFile().replaceWithText (text));
    }

    float openedScale()
    {
        TestEditor editor (processor, theme);
        return (float) editor.getWidth() / EditorShell::kDesignWidth;
    }

    float storedScale() const { return scaleFile().loadFileAsString().getFloatValue(); }
};

juce::KeyPress ctrl (int key, bool shift = false)
{
    auto mods = juce::ModifierKeys::commandModifier | (shift ? juce::ModifierKeys::shiftModifier : 0);
    return juce::KeyPress (key, juce::ModifierKeys (mods), 0);
}

} // namespace

TEST_F (EditorShellTest, ScaleFileWinsWithinItsRangeAndIsIgnoredBeyondIt)
{
    state().setEditorScale (1.25f);
    EXPECT_FLOAT_EQ (openedScale(), 1.25f) << "no file: the state's scale";

    for (const auto& [text, expected] : { std::pair { "2.01", 2.0f }, { "0.74", 0.75f }, { "1.5000", 1.5f },
                                          { "0.73", 1.25f }, { "2.02", 1.25f }, { "nan", 1.25f }, { "", 1.25f },
                                          { "junk", 1.25f }, { " 1.75\n", 1.75f }, { "1.1 times", 1.1f },
                                          { "1e400", 1.25f }, { "1.E0333333333333333333333333333330", 1.25f } })
    {
        storeScaleText (text);
        state().setEditorScale (1.25f);
        EXPECT_NEAR (openedScale(), expected, 0.002f) << '"' << text << '"';
    }

    state().setEditorScale (9.0f);
    scaleFile().deleteFile();
    EXPECT_FLOAT_EQ (openedScale(), 2.0f) << "the state's scale is clamped too";
}

TEST_F (EditorShellTest, ScaleIsWrittenOnceAfterTheLastResizeAndAgainOnClose)
{
    auto editor = std::make_unique<TestEditor> (processor, theme);
    EXPECT_FALSE (scaleFile().exists());

    editor->setSize (975, 760);
    core::MessagePump::runFor (300);
    editor->setSize (1170, 912);
    core::MessagePump::runFor (400);
    EXPECT_FALSE (scaleFile().exists()) << "the second resize restarted the wait";
    EXPECT_FLOAT_EQ (state().getEditorScale(), 1.5f);

    ASSERT_TRUE (core::MessagePump::runUntil ([&] { return scaleFile().exists(); }, 3000));
    EXPECT_EQ (scaleFile().loadFileAsString(), "1.5000");

    editor->setSize (780, 608);
    editor.reset();
    EXPECT_EQ (scaleFile().loadFileAsString(), "1.0000") << "closing writes at once";
}

TEST_F (EditorShellTest, CornerKeepsTheAspectRatioWithinItsLimits)
{
    TestEditor editor (processor, theme);
    auto* corner = editor.getCorner();
    ASSERT_NE (corner, nullptr);
    EXPECT_EQ (corner->getBounds(), juce::Rectangle<int> (780 - 18, 608 - 18, 16, 16));

    SyntheticMouse (*corner).drag ({ 8.0f, 8.0f }, { 2000.0f, 30.0f });
    EXPECT_EQ (editor.getWidth(), 1560);
    EXPECT_EQ (editor.getHeight(), 1216);
    EXPECT_FLOAT_EQ (editor.getRoot().getTransform().mat00, 2.0f);

    SyntheticMouse (*editor.getCorner()).drag ({ 8.0f, 8.0f }, { -3000.0f, -3000.0f });
    EXPECT_EQ (editor.getWidth(), 585);
    EXPECT_EQ (editor.getHeight(), 456);

    editor.setDesignHeight (748);
    EXPECT_EQ (editor.getWidth(), 585) << "the scale stays";
    EXPECT_EQ (editor.getHeight(), 561);
    EXPECT_EQ (editor.getBody().getHeight(), 748 - 56 - 44);
}

TEST_F (EditorShellTest, UndoKeyIsHandledOnlyWhenSomethingWasUndone)
{
    TestEditor editor (processor, theme);
    editor.keyboardShortcuts = true;
    EXPECT_FALSE (editor.keyPressed (ctrl ('Z'))) << "nothing to undo: the host gets the key";

    state().beginTransaction();
    setPlain ("amount", 25.0f);
    state().flushToTree();
    EXPECT_TRUE (editor.keyPressed (ctrl ('Z')));
    EXPECT_NE (plain ("amount"), 25.0f);
    EXPECT_TRUE (editor.keyPressed (ctrl ('Z', true)));
    EXPECT_FLOAT_EQ (plain ("amount"), 25.0f);
    EXPECT_FALSE (editor.keyPressed (ctrl ('Y')));

    editor.keyboardShortcuts = false;
    EXPECT_FALSE (editor.keyPressed (ctrl ('Z')));
}

TEST_F (EditorShellTest, PresetPanelClosesOnAClickOutsideButNotOnTheHeader)
{
    TestEditor editor (processor, theme);
    auto& panel = editor.getPresetPanel();
    EXPECT_FALSE (panel.isVisible());

    SyntheticMouse (editor.getHeaderBar().getNameButton()).heardBy (editor).click ({ 10.0f, 10.0f });
    ASSERT_TRUE (panel.isVisible());
    SyntheticMouse (editor.getHeaderBar()).heardBy (editor).click ({ 300.0f, 5.0f });
    EXPECT_TRUE (panel.isVisible()) << "a click on the header keeps it";
    SyntheticMouse (panel).heardBy (editor).click ({ 20.0f, 20.0f });
    EXPECT_TRUE (panel.isVisible());
    SyntheticMouse (editor.control).heardBy (editor).click ({ 5.0f, 5.0f });
    EXPECT_FALSE (panel.isVisible());

    SyntheticMouse (editor.getHeaderBar().getNameButton()).heardBy (editor).click ({ 10.0f, 10.0f });
    SyntheticMouse (editor.getHeaderBar().getNameButton()).heardBy (editor).click ({ 10.0f, 10.0f });
    EXPECT_FALSE (panel.isVisible()) << "the name toggles it";
}

TEST_F (EditorShellTest, BypassShowsTheScrimAtOnceAndClicksStillReachTheControls)
{
    processor.getBypassParameter()->setValueNotifyingHost (1.0f);
    TestEditor editor (processor, theme);
    EXPECT_TRUE (editor.getScrim().isVisible());
    EXPECT_EQ (editor.getScrim().getBounds(), editor.getBody().getBounds());
    EXPECT_EQ (editor.getRoot().getComponentAt (50, 90), &editor.control);

    processor.getBypassParameter()->setValueNotifyingHost (0.0f);
    EXPECT_FALSE (editor.getScrim().isVisible());
}

TEST_F (EditorShellTest, HoverShowsTheTooltipOfTheControlOrItsParent)
{
    TestEditor editor (processor, theme);
    editor.control.getProperties().set (EditorShell::kTooltipProperty, "window size");
    editor.setLanguage (gui::i18n::Lang::German);
    SyntheticMouse (editor.control).heardBy (editor).enter ({ 5.0f, 5.0f });
    editor.getTooltipLayer().showNow();
    EXPECT_EQ (editor.getTooltipLayer().getShownText(), gui::i18n::translate (gui::i18n::Lang::German, "window size"));
    EXPECT_EQ (gui::i18n::readLanguageFile (gui::i18n::vendorFolder (processor.getVendor())), gui::i18n::Lang::German);
    editor.setLanguage (gui::i18n::Lang::English);
}

TEST_F (EditorShellTest, OpeningAndClosingAreCountedAndLogged)
{
    auto& log = diagnostics::DiagLog::instance();
    const int before = log.openEditors.load();
    EXPECT_EQ (processor.typefaceKeepAlive, nullptr);
    {
        TestEditor first (processor, theme);
        TestEditor second (processor, theme);
        EXPECT_EQ (log.openEditors.load(), before + 2);
        EXPECT_NE (processor.typefaceKeepAlive, nullptr) << "the fonts outlive the editors";
    }
    EXPECT_EQ (log.openEditors.load(), before);

    const auto text = juce::File (log.getLogPath()).loadFileAsString();
    EXPECT_TRUE (text.contains ("editor OPEN  (now " + juce::String (before + 2) + ")"));
    EXPECT_TRUE (text.contains ("editor CLOSE (now " + juce::String (before) + ")"));
}

} // namespace vo::test
