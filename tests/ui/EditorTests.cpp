// ZEL's editor on a real processor: every control where the layout puts it,
// the advanced section, lamps, undo, languages, hover help, the update
// service against a local server, and the audio thread with the editor open.

#include "plugin/Processor.h"
#include "plugin/ProductInfo.h"
#include "plugin/ui/Editor.h"
#include "plugin/ui/i18n/Tables.h"
#include "plugin/update/PrefsFile.h"
#include "tests/support/AudioThreadGuard.h"
#include "tests/support/ProcessorAccess.h"
#include "tests/update/LoopbackServer.h"

#include "core/MessagePump.h"

#include <gtest/gtest.h>

#include <memory>

namespace vo::test
{
namespace
{

using plugins::zel::Editor;
using plugins::zel::Processor;
using plugins::zel::UpdatePanel;
namespace upd = plugins::zel::upd;
namespace i18n = plugins::zel::i18n;

constexpr const char* kDocumentPath = "/downloads/versions.json";

std::string documentFor (const std::string& version)
{
    return "{\"zel\":{\"version\":\"" + version
         + "\",\"page\":\"https://velmora.audio/zel\",\"installer\":\"https://velmora.audio/downloads/ZEL-setup.exe\"}}";
}

class EditorTest : public ::testing::Test
{
protected:
    EditorTest()
    {
        storePrefs (upd::Check::nowSeconds(), false);
        for (const char* remembered : { "lang.txt", "ui-scale.txt" })
            processor.getUserDataFolder().getChildFile (remembered).deleteFile();
    }

    // Every editor opens with an automatic update check unless the stored
    // bookkeeping says one ran lately: the tests decide when one may run.
    void storePrefs (juce::int64 lastCheck, bool dontAsk, const juce::String& lastSeen = {})
    {
        upd::UpdatePrefs prefs;
        prefs.lastCheck = lastCheck;
        prefs.dontAsk = dontAsk;
        prefs.lastSeen = lastSeen;
        ASSERT_TRUE (upd::PrefsFile (processor.getUserDataFolder()).write (prefs));
    }

    std::unique_ptr<Editor> open (const juce::String& documentUrl = {})
    {
        return std::make_unique<Editor> (processor, documentUrl);
    }

    static bool waitFor (const std::function<bool()>& condition)
    {
        return core::MessagePump::runUntil (condition, 20000);
    }

    Processor processor;
};

juce::Rectangle<int> boundsOf (juce::Component& c)
{
    return c.getBounds();
}

TEST_F (EditorTest, EveryControlSitsWhereTheLayoutPutsItClosedAndAdvanced)
{
    auto editor = open();
    auto& e = *editor;
    EXPECT_EQ (e.getWidth(), 780);
    EXPECT_EQ (e.getHeight(), 608);
    EXPECT_EQ (e.getBody().getBounds(), juce::Rectangle<int> (0, 72, 780, 536));

    struct Row
    {
        const char* name;
        juce::Component* component;
        juce::Rectangle<int> bounds;
        bool advanced;
    };
    const Row rows[] = {
        { "spectrum", &e.getSpectrum(), { 64, 20, 652, 190 }, false },
        { "freeze label", &e.getFreezeLabel(), { 6, 222, 100, 12 }, false },
        { "advanced label", &e.getAdvancedLabel(), { 674, 222, 100, 12 }, false },
        { "freeze", &e.getFreezeButton(), { 30, 230, 52, 52 }, false },
        { "advanced", &e.getAdvancedButton(), { 698, 230, 52, 52 }, false },
        { "amount", &e.getAmountKnob(), { 270, 218, 240, 280 }, false },
        { "low cut", &e.getLowCutKnob(), { 93, 271, 134, 174 }, false },
        { "high cut", &e.getHighCutKnob(), { 553, 271, 134, 174 }, false },
        { "low cut lamp", &e.getLowCutLamp(), { 32, 329, 48, 48 }, false },
        { "high cut lamp", &e.getHighCutLamp(), { 700, 329, 48, 48 }, false },
        { "section", &e.getAdvancedSection(), { 64, 540, 652, 16 }, true },
        { "pan", &e.getPanKnob(), { 58, 562, 66, 98 }, true },
        { "mode label", &e.getModeLabel(), { 164, 562, 100, 12 }, true },
        { "l/r label", &e.getLrLabel(), { 164, 576, 100, 12 }, true },
        { "mode", &e.getModeSwitch(), { 184, 582, 60, 60 }, true },
        { "m/s label", &e.getMsLabel(), { 164, 636, 100, 12 }, true },
        { "attack", &e.getAttackKnob(), { 304, 562, 66, 98 }, true },
        { "release", &e.getReleaseKnob(), { 410, 562, 66, 98 }, true },
        { "smooth", &e.getSmoothKnob(), { 516, 562, 66, 98 }, true },
        { "sc audition label", &e.getScAuditionLabel(), { 622, 574, 100, 12 }, true },
        { "sc audition", &e.getScAuditionButton(), { 646, 580, 52, 52 }, true },
    };

    for (const bool advanced : { false, true })
    {
        if (advanced)
            e.toggleAdvanced();
        EXPECT_EQ (boundsOf (e.getBackdrop()), e.getBody().getLocalBounds());
        for (const auto& row : rows)
        {
            EXPECT_EQ (boundsOf (*row.component), row.bounds) << row.name;
            EXPECT_EQ (row.component->isVisible(), ! row.advanced || advanced) << row.name << ", advanced " << advanced;
        }
    }
    EXPECT_EQ (e.getAmountKnob().getFaceDiameter(), 210.0f);
    EXPECT_EQ (e.getLowCutKnob().getFaceDiameter(), 120.0f);
}

TEST_F (EditorTest, TheAdvancedButtonGrowsAndShrinksTheWindowAtItsScale)
{
    auto editor = open();
    editor->toggleAdvanced();
    EXPECT_EQ (editor->getHeight(), 748);
    EXPECT_EQ (editor->getBody().getHeight(), 676);
    editor->toggleAdvanced();
    EXPECT_EQ (editor->getHeight(), 608);

    editor->setSize (1170, 912);
    editor->toggleAdvanced();
    EXPECT_EQ (editor->getWidth(), 1170);
    EXPECT_EQ (editor->getHeight(), 1122);
    EXPECT_TRUE (editor->isAdvancedOpen());
}

// The first value on each knob's grid past the lamp's threshold, and the one
// before it, found through the parameter's own range.
std::pair<float, float> aroundTheThreshold (juce::RangedAudioParameter& parameter, float threshold, bool upward)
{
    const auto& range = parameter.getNormalisableRange();
    const float step = juce::jmax (range.interval, 0.01f);
    float inside = upward ? range.start : range.end;
    for (;;)
    {
        const float next = inside + (upward ? step : -step);
        const float normalised = range.convertTo0to1 (range.snapToLegalValue (next));
        if (upward ? normalised > threshold : normalised < threshold)
            return { range.convertTo0to1 (range.snapToLegalValue (inside)), normalised };
        inside = next;
    }
}

TEST_F (EditorTest, LampsLightAsSoonAsACutLeavesItsEndStop)
{
    auto& lowCut = processor.getStateManager().param ("lowCut");
    auto& highCut = processor.getStateManager().param ("highCut");
    const auto [lowDark, lowLit] = aroundTheThreshold (lowCut, Editor::kLowCutLitAbove, true);
    const auto [highDark, highLit] = aroundTheThreshold (highCut, Editor::kHighCutLitBelow, false);

    lowCut.setValueNotifyingHost (0.0f);
    highCut.setValueNotifyingHost (1.0f);
    auto editor = open();
    EXPECT_EQ (editor->getLowCutLamp().getGlow(), 0.0f) << "20 Hz";
    EXPECT_EQ (editor->getHighCutLamp().getGlow(), 0.0f) << "20 kHz";

    lowCut.setValueNotifyingHost (lowDark);
    highCut.setValueNotifyingHost (highDark);
    EXPECT_EQ (open()->getLowCutLamp().getGlow(), 0.0f) << lowDark;
    EXPECT_EQ (open()->getHighCutLamp().getGlow(), 0.0f) << highDark;

    lowCut.setValueNotifyingHost (lowLit);
    highCut.setValueNotifyingHost (highLit);
    EXPECT_EQ (open()->getLowCutLamp().getGlow(), 1.0f) << lowLit;
    EXPECT_EQ (open()->getHighCutLamp().getGlow(), 1.0f) << highLit;

    const auto glowing = [&] { editor->onTick(); return editor->getLowCutLamp().getGlow() == 1.0f; };
    EXPECT_TRUE (core::MessagePump::runUntil (glowing, 5000)) << "an open editor's lamp glows in";
    EXPECT_GT (editor->getHighCutLamp().getGlow(), 0.0f);
}

TEST_F (EditorTest, TheUndoButtonAndTheKeysFollowTheHistory)
{
    auto& state = processor.getStateManager();
    auto editor = open();
    EXPECT_FALSE (editor->getUndoButton().isEnabled()) << "a fresh instance has nothing to undo";
    for (auto* hidden : { &editor->getHeaderBar().getUndoButton(), &editor->getHeaderBar().getRedoButton() })
        EXPECT_FALSE (hidden->isVisible());

    auto& amount = state.param ("amount");
    const float before = amount.getValue();
    state.beginTransaction();
    amount.setValueNotifyingHost (0.25f);
    state.flushToTree();
    editor->onTick();
    EXPECT_TRUE (editor->getUndoButton().isEnabled());

    const auto ctrl = [] (int key, bool shift = false) {
        return juce::KeyPress (key,
                               juce::ModifierKeys::commandModifier | (shift ? juce::ModifierKeys::shiftModifier : 0),
                               0);
    };
    EXPECT_TRUE (editor->keyPressed (ctrl ('Z')));
    EXPECT_FLOAT_EQ (amount.getValue(), before);
    EXPECT_TRUE (editor->keyPressed (ctrl ('Y')));
    EXPECT_FLOAT_EQ (amount.getValue(), 0.25f);
    EXPECT_TRUE (editor->keyPressed (ctrl ('Z')));
    EXPECT_TRUE (editor->keyPressed (ctrl ('Z', true)));
    EXPECT_FLOAT_EQ (amount.getValue(), 0.25f);

    editor->getUndoButton().triggerClick();
    core::MessagePump::runFor (50);
    EXPECT_FLOAT_EQ (amount.getValue(), before);
}

TEST_F (EditorTest, ALanguageRetextsEverythingAndIsStoredAsItsCode)
{
    auto editor = open();
    const auto& russian = i18n::tableFor (5);
    editor->setLanguage (5);

    const auto text = [] (const char* s) { return juce::String::fromUTF8 (s); };
    EXPECT_EQ (editor->getFreezeLabel().getText(), text (russian.labelFreeze));
    EXPECT_EQ (editor->getMsLabel().getText(), text (russian.labelMS));
    EXPECT_EQ (editor->getAdvancedSection().getText(), text (russian.labelAdvanced));
    EXPECT_EQ (editor->getFreezeButton().getProperties()[Editor::kTooltipProperty].toString(), text (russian.tipFreeze));
    EXPECT_EQ (editor->getAmountKnob().getTitle(), text (russian.labelAmount));
    EXPECT_EQ (editor->getUpdatePanel().getMessage().isEmpty(), false);

    const auto file = processor.getUserDataFolder().getChildFile ("lang.txt");
    EXPECT_EQ (file.loadFileAsString(), "ru");
    EXPECT_EQ (file.getSize(), 2);

    auto reopened = open();
    EXPECT_EQ (reopened->getLanguage(), 5);

    juce::PopupMenu menu;
    reopened->addSettingsItems (menu);
    bool foundLanguages = false;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        if (auto* sub = it.getItem().subMenu.get())
        {
            foundLanguages = it.getItem().text == text (russian.menuLanguage);
            int ticked = -1, index = 0;
            for (juce::PopupMenu::MenuItemIterator items (*sub); items.next(); ++index)
                if (items.getItem().isTicked)
                    ticked = index;
            EXPECT_EQ (ticked, 5);
        }
    EXPECT_TRUE (foundLanguages);
}

TEST_F (EditorTest, HoverHelpNamesTheControlOrTheProductInHelpMode)
{
    auto editor = open();
    const auto& english = i18n::tableFor (0);
    const auto text = [] (const char* s) { return juce::String::fromUTF8 (s); };

    editor->refreshHelp (&editor->getAmountKnob());
    EXPECT_EQ (editor->getSpectrum().getStatusLine(), text (english.helpAmount));
    EXPECT_EQ (editor->helpTextFor (editor->getAmountKnob().getChildComponent (0)), text (english.helpAmount))
        << "a knob's inner parts answer for it";
    EXPECT_EQ (editor->helpTextFor (&editor->getHeaderBar().getSettingsButton()), text (english.helpSettings));
    EXPECT_EQ (editor->helpTextFor (&editor->getHeaderBar().getNameButton()), text (english.helpPresetList));
    EXPECT_EQ (editor->helpTextFor (&editor->getHeaderBar().getPreviousButton()), text (english.helpPresetBack));

    const auto status = editor->getSpectrum().getStatusLine();
    editor->refreshHelp (&editor->getBackdrop());
    EXPECT_NE (editor->getSpectrum().getStatusLine(), text (english.summary)) << "help mode is off";
    editor->getTooltipLayer().setHelpMode (true);
    editor->refreshHelp (&editor->getBackdrop());
    EXPECT_EQ (editor->getSpectrum().getStatusLine(), text (english.summary));
    juce::ignoreUnused (status);
}

TEST_F (EditorTest, TabWalksTheWindowInReadingOrderWithNamesInTheLanguage)
{
    auto editor = open();
    editor->setLanguage (1);
    editor->toggleAdvanced();
    const auto& german = i18n::tableFor (1);

    // The control each focusable component belongs to, in the order Tab visits them.
    std::vector<juce::Component*> visited;
    auto& header = editor->getHeaderBar();
    juce::Component* const controls[] = {
        &header, &editor->getSpectrum(), &editor->getFreezeButton(), &editor->getAmountKnob(),
        &editor->getLowCutKnob(), &editor->getHighCutKnob(), &editor->getAdvancedButton(), &editor->getPanKnob(),
        &editor->getModeSwitch(), &editor->getAttackKnob(), &editor->getReleaseKnob(), &editor->getSmoothKnob(),
        &editor->getScAuditionButton(),
    };
    for (auto* focusable : juce::KeyboardFocusTraverser().getAllComponents (editor.get()))
        for (auto* control : controls)
            if ((focusable == control || control->isParentOf (focusable))
                && (visited.empty() || visited.back() != control))
                visited.push_back (control);
    EXPECT_EQ (visited, std::vector<juce::Component*> (std::begin (controls), std::end (controls)));

    EXPECT_EQ (editor->getAmountKnob().getTitle(), juce::String::fromUTF8 (german.labelAmount));
    EXPECT_EQ (editor->getModeSwitch().getTitle(), juce::String::fromUTF8 (german.labelMode));
    const auto handler = editor->getModeSwitch().createAccessibilityHandler();
    ASSERT_NE (handler, nullptr);
    EXPECT_EQ (handler->getRole(), juce::AccessibilityRole::toggleButton);
    EXPECT_TRUE (handler->getCurrentState().isCheckable());
    EXPECT_FALSE (handler->getCurrentState().isChecked());
    EXPECT_TRUE (editor->getModeSwitch().keyPressed (juce::KeyPress (juce::KeyPress::spaceKey)));
    EXPECT_TRUE (handler->getCurrentState().isChecked()) << "the value follows the parameter";
}

//==============================================================================
TEST_F (EditorTest, TheAutomaticCheckRunsOnlyWhenItIsDue)
{
    LoopbackServer server;
    server.serve (kDocumentPath, { 200, documentFor ("1.2.0"), {}, false });
    const juce::String url (server.url (kDocumentPath));

    storePrefs (0, true);
    open (url).reset();
    storePrefs (upd::Check::nowSeconds() - 3600, false);
    open (url).reset();
    EXPECT_EQ (server.requestCount(), 0u) << "not asked again, and checked an hour ago";

    storePrefs (upd::Check::nowSeconds() + 86400 * 30, false);
    auto editor = open (url);
    ASSERT_TRUE (waitFor ([&] { return editor->isUpdateAvailable(); }));
    EXPECT_EQ (server.requestCount(), 1u) << "a check time in the future is not trusted";
    EXPECT_EQ (editor->getAvailableRelease().version, "1.2.0");
    EXPECT_TRUE (editor->getHeaderBar().getSettingsButton().hasBadge());
    EXPECT_FALSE (editor->getUpdatePanel().isVisible()) << "an automatic check never opens the panel";
}

TEST_F (EditorTest, AStoredNewerVersionShowsTheBadgeBeforeAnyRequest)
{
    storePrefs (upd::Check::nowSeconds(), false, "1.4.0");
    auto editor = open ("http://127.0.0.1:9/never");
    EXPECT_TRUE (editor->isUpdateAvailable());
    EXPECT_TRUE (editor->getHeaderBar().getSettingsButton().hasBadge());
    juce::PopupMenu menu;
    editor->addSettingsItems (menu);
    bool offersIt = false;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        offersIt = offersIt || it.getItem().text.contains ("1.4.0");
    EXPECT_TRUE (offersIt);
}

TEST_F (EditorTest, AManualCheckLooksThenReportsWhatItFound)
{
    LoopbackServer server;
    const juce::String url (server.url (kDocumentPath));
    const auto expectOutcome = [&] (const std::string& version, int panelState) {
        auto editor = open (url);
        editor->checkForUpdatesNow();
        auto& panel = editor->getUpdatePanel();
        EXPECT_TRUE (panel.isVisible());
        EXPECT_TRUE (editor->getHeaderVeil().isVisible());
        EXPECT_EQ (panel.getState(), UpdatePanel::looking);
        EXPECT_TRUE (waitFor ([&] { return panel.getState() != UpdatePanel::looking; })) << version;
        EXPECT_EQ (panel.getState(), panelState) << version;

        EXPECT_TRUE (panel.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
        EXPECT_FALSE (panel.isVisible());
        EXPECT_FALSE (editor->getHeaderVeil().isVisible());
    };

    server.serve (kDocumentPath, { 200, documentFor ("1.2.0"), {}, false });
    expectOutcome ("1.2.0", UpdatePanel::available);
    server.serve (kDocumentPath, { 200, documentFor (plugins::zel::product::kVersion), {}, false });
    expectOutcome ("this version", UpdatePanel::upToDate);
    server.serve (kDocumentPath, { 404, "", {}, false });
    expectOutcome ("nothing", UpdatePanel::noConnection);
}

//==============================================================================
TEST_F (EditorTest, TheAudioThreadStaysFreeWithTheEditorOpen)
{
    auto layout = processor.getBusesLayout();
    layout.inputBuses.getReference (1) = juce::AudioChannelSet::stereo();
    ASSERT_TRUE (processor.setBusesLayout (layout));
    setPlain (processor, "amount", 100.0f);
    processor.prepareToPlay (48000.0, 512);
    auto editor = open();

    juce::AudioBuffer<float> buffer (4, 512);
    juce::MidiBuffer midi;
    juce::Random random (3);
    for (int block = 0; block < 40; ++block)
    {
        for (int c = 0; c < 4; ++c)
            for (int i = 0; i < 512; ++i)
                buffer.setSample (c, i, random.nextFloat() - 0.5f);
        {
            AudioThreadGuard guard;
            processor.processBlock (buffer, midi);
            ASSERT_EQ (guard.allocations(), 0u) << "block " << block;
            ASSERT_EQ (guard.locks(), 0u) << "block " << block;
        }
        editor->getSpectrum().poll();
        editor->onTick();
    }
    EXPECT_GT (editor->getSpectrum().getFrame().serial, 0);
}

} // namespace
} // namespace vo::test
