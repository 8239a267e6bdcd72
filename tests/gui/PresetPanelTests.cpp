// The preset panel at its public seams: what it lists, saving, deleting,
// loading by a click, its layout, and its picture at 1× and 2×. Every test
// gets a home folder of its own, so no preset outlives the test that saved it.

#include "support/ControlFixture.h"
#include "support/GoldenPicture.h"
#include "support/PictureRenderer.h"
#include "support/SyntheticMouse.h"

#include "gui/LookAndFeel.h"
#include "gui/PresetPanel.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vo::test
{
using vo::gui::LookAndFeel;
using vo::gui::PresetPanel;
using vo::gui::Theme;

namespace
{

// Points HOME at a fresh folder for one test; the preset manager reads HOME
// on every call, so presets land there and go with it.
class ScopedHome
{
public:
    ScopedHome()
        : previous (juce::SystemStats::getEnvironmentVariable ("HOME", {})),
          folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getNonexistentChildFile ("zel-panel-home", {}))
    {
        folder.createDirectory();
        ::setenv ("HOME", folder.getFullPathName().toRawUTF8(), 1);
    }

    ~ScopedHome()
    {
        ::setenv ("HOME", previous.toRawUTF8(), 1);
        folder.deleteRecursively();
    }

private:
    juce::String previous;
    juce::File folder;
};

void press (juce::Button& button)
{
    SyntheticMouse (button).click (button.getLocalBounds().getCentre().toFloat());
}

class PresetPanelTest : public ControlFixture
{
protected:
    void SetUp() override
    {
        panel.setSize (290, 260);
        panel.setVisible (true);
    }

    void saveTyped (const juce::String& name)
    {
        panel.getNameEditor().setText (name);
        press (panel.getSaveButton());
    }

    core::PresetManager& presets() { return processor.getPresetManager(); }

    ScopedHome home;
    PresetPanel panel { processor.getPresetManager(), theme };
};

TEST_F (PresetPanelTest, OpeningWithoutUserPresetsListsOnlyTheTaggedFactoryRows)
{
    EXPECT_EQ (panel.getNames(), presets().getFactoryPresetNames());
    EXPECT_EQ (panel.getNumRows(), presets().getFactoryPresetNames().size());
    for (int row = 0; row < panel.getNumRows(); ++row)
        EXPECT_TRUE (panel.isFactoryRow (row)) << row;
    EXPECT_FALSE (panel.isFactoryRow (panel.getNumRows()));
}

TEST_F (PresetPanelTest, SavingTrimsTheNameAndListsAUserNameOnce)
{
    saveTyped ("  Night Mix \t");
    saveTyped ("Night Mix");
    saveTyped ("   ");

    EXPECT_EQ (presets().getUserPresetNames(), juce::StringArray ({ "Night Mix" }));
    const auto& names = panel.getNames();
    EXPECT_EQ (names.size(), presets().getFactoryPresetNames().size() + 1);
    EXPECT_EQ (names[names.size() - 1], "Night Mix");
    EXPECT_FALSE (panel.isFactoryRow (names.size() - 1));
}

TEST_F (PresetPanelTest, ReturnInTheNameEditorDoesNotSave)
{
    auto& editor = panel.getNameEditor();
    editor.setText ("Typed");
    editor.keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    EXPECT_TRUE (presets().getUserPresetNames().isEmpty());
}

TEST_F (PresetPanelTest, DeleteRemovesOnlyASelectedUserRow)
{
    saveTyped ("Gone Soon");
    const auto before = panel.getNames();

    panel.getList().deselectAllRows();
    press (panel.getDeleteButton());
    EXPECT_EQ (panel.getNames(), before);

    panel.getList().selectRow (before.size() - 1);
    press (panel.getDeleteButton());
    EXPECT_TRUE (presets().getUserPresetNames().isEmpty());
    EXPECT_EQ (panel.getNames(), presets().getFactoryPresetNames());
}

TEST_F (PresetPanelTest, ARowClickLoadsThePresetAndTellsTheOwner)
{
    int loaded = 0;
    panel.onPresetLoaded = [&loaded] { ++loaded; };

    auto& list = panel.getList();
    auto* row = list.getComponentAt (list.getRowPosition (3, true).getCentre());
    ASSERT_NE (row, nullptr);
    ASSERT_EQ (list.getRowNumberOfComponent (row), 3);
    SyntheticMouse (*row).click ({ 40.0f, 12.0f });

    EXPECT_EQ (presets().getCurrentPresetName(), panel.getNames()[3]);
    EXPECT_EQ (panel.getList().getSelectedRow(), 3);
    EXPECT_EQ (loaded, 1);
}

TEST_F (PresetPanelTest, LayoutAt290By260)
{
    EXPECT_EQ (panel.getList().getBounds(), juce::Rectangle<int> (10, 10, 270, 204));
    EXPECT_EQ (panel.getDeleteButton().getBounds(), juce::Rectangle<int> (220, 220, 60, 30));
    EXPECT_EQ (panel.getSaveButton().getBounds(), juce::Rectangle<int> (154, 220, 60, 30));
    EXPECT_EQ (panel.getNameEditor().getBounds(), juce::Rectangle<int> (10, 220, 138, 30));
    EXPECT_EQ (panel.getList().getRowHeight(), PresetPanel::kRowHeight);
}

// The panel as the editor shows it: on the editor background, with the
// editor's look-and-feel, a saved user preset and one row selected.
class PresetPanelScene : public juce::Component
{
public:
    PresetPanelScene (core::PresetManager& presets, const Theme& themeToUse)
        : theme (themeToUse), lookAndFeel (theme), panel (presets, theme)
    {
        setLookAndFeel (&lookAndFeel);
        setSize (310, 280);
        addAndMakeVisible (panel);
        panel.setBounds (10, 10, 290, 260);
        panel.getNameEditor().setText ("My Mix");
        press (panel.getSaveButton());
        panel.getNameEditor().clear();
        panel.getList().selectRow (2);
    }

    ~PresetPanelScene() override { setLookAndFeel (nullptr); }

    void paint (juce::Graphics& g) override { g.fillAll (theme.background); }

private:
    const Theme theme;
    LookAndFeel lookAndFeel;
    PresetPanel panel;
};

class PresetPanelPictures : public ControlFixture,
                            public ::testing::WithParamInterface<float>
{
protected:
    ScopedHome home;
};

TEST_P (PresetPanelPictures, FactoryAndUserRowsWithOneSelected)
{
    PresetPanelScene scene (processor.getPresetManager(), theme);
    EXPECT_TRUE (GoldenPicture::matches (PictureRenderer::ofComponent (scene, GetParam()),
                                         GoldenPicture::nameAt ("preset-panel", GetParam())));
}

std::string scaleName (const ::testing::TestParamInfo<float>& scale)
{
    return std::to_string (juce::roundToInt (scale.param)) + "x";
}

INSTANTIATE_TEST_SUITE_P (AtScale, PresetPanelPictures, ::testing::Values (1.0f, 2.0f), scaleName);

} // namespace
} // namespace vo::test
