#pragma once

#include "Theme.h"

#include "core/PresetManager.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace vo::gui
{

// The floating preset list under the header: factory presets first, tagged,
// then the user's own. A click loads a preset; the row below saves the
// current state under a typed name or deletes the selected user preset.
// Storage is entirely the preset manager's, the panel only asks it.
class PresetPanel : public juce::Component,
                    public juce::ListBoxModel
{
public:
    static constexpr int kRowHeight = 24;
    static constexpr int kMargin = 10;
    static constexpr int kBottomRowHeight = 30;
    static constexpr int kGap = 6;
    static constexpr int kButtonWidth = 60;
    static constexpr float kTextHeight = 13.0f;
    static constexpr const char* kFactoryTag = "FACTORY";
    static constexpr const char* kNamePrompt = "Preset-Name...";

    PresetPanel (core::PresetManager& presetManager, const Theme& theme);
    ~PresetPanel() override;

    // Called after a row click loaded a preset.
    std::function<void()> onPresetLoaded;

    // Reads the preset names afresh, so that presets saved by another editor
    // instance show up too.
    void refreshList();

    const juce::StringArray& getNames() const noexcept { return names; }
    bool isFactoryRow (int row) const;

    juce::ListBox& getList() noexcept { return list; }
    juce::TextEditor& getNameEditor() noexcept { return nameEditor; }
    juce::TextButton& getSaveButton() noexcept { return saveButton; }
    juce::TextButton& getDeleteButton() noexcept { return deleteButton; }

    int getNumRows() override;
    void paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool selected) override;
    void listBoxItemClicked (int row, const juce::MouseEvent& e) override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void visibilityChanged() override;

private:
    bool isRow (int row) const noexcept { return juce::isPositiveAndBelow (row, names.size()); }
    void saveTypedName();
    void deleteSelectedPreset();
    void layOutBottomRow (juce::Rectangle<int> row);
    void paintRowName (juce::Graphics& g, int row, int width, int height) const;
    void paintFactoryTag (juce::Graphics& g, int width, int height) const;

    core::PresetManager& presetManager;
    const Theme theme;
    juce::StringArray names;
    juce::StringArray factoryNames;
    juce::ListBox list;
    juce::TextEditor nameEditor;
    juce::TextButton saveButton { "Save" };
    juce::TextButton deleteButton { "Delete" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetPanel)
};

} // namespace vo::gui
