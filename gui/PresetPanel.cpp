#include "PresetPanel.h"

#include "Fonts.h"

namespace vo::gui
{

namespace
{

constexpr float kBackdropDrop = 2.0f;
constexpr float kBackdropAlpha = 0.35f;
constexpr float kBorderInset = 0.5f;
constexpr float kBorderWidth = 1.0f;
constexpr float kSelectionInset = 1.0f;
constexpr int kRowTextInset = 10;
constexpr float kTagHeight = 9.0f;
constexpr float kTagKerning = 0.02f;

} // namespace

PresetPanel::PresetPanel (core::PresetManager& presetManagerToUse, const Theme& themeToUse)
    : presetManager (presetManagerToUse), theme (themeToUse)
{
    list.setModel (this);
    list.setRowHeight (kRowHeight);
    list.setColour (juce::ListBox::backgroundColourId, juce::Colours::transparentBlack);

    nameEditor.setFont (textFont (kTextHeight));
    nameEditor.setJustification (juce::Justification::centredLeft);
    nameEditor.setTextToShowWhenEmpty (kNamePrompt, theme.textDim);

    // Return is left alone on purpose: a half-typed name must not overwrite
    // a preset of that name, only the button commits.
    saveButton.onClick = [this] { saveTypedName(); };
    deleteButton.onClick = [this] { deleteSelectedPreset(); };

    for (auto* child : std::initializer_list<juce::Component*> { &list, &nameEditor, &saveButton, &deleteButton })
        addAndMakeVisible (child);
}

PresetPanel::~PresetPanel()
{
    list.setModel (nullptr);
}

void PresetPanel::refreshList()
{
    factoryNames = presetManager.getFactoryPresetNames();
    names = factoryNames;
    names.addArray (presetManager.getUserPresetNames());
    list.updateContent();
    list.repaint();
}

bool PresetPanel::isFactoryRow (int row) const
{
    return isRow (row) && factoryNames.contains (names[row]);
}

int PresetPanel::getNumRows()
{
    return names.size();
}

void PresetPanel::paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool selected)
{
    if (! isRow (row))
        return;

    if (selected)
    {
        g.setColour (theme.accentSoft);
        g.fillRoundedRectangle (0.0f, kSelectionInset, static_cast<float> (width),
                                static_cast<float> (height) - 2.0f * kSelectionInset, theme.radiusSmall);
    }

    paintRowName (g, row, width, height);
    if (isFactoryRow (row))
        paintFactoryTag (g, width, height);
}

void PresetPanel::paintRowName (juce::Graphics& g, int row, int width, int height) const
{
    g.setColour (isFactoryRow (row) ? theme.labelText : theme.text);
    g.setFont (textFont (kTextHeight));
    g.drawText (names[row], kRowTextInset, 0, width - 2 * kRowTextInset, height, juce::Justification::centredLeft,
                true);
}

void PresetPanel::paintFactoryTag (juce::Graphics& g, int width, int height) const
{
    g.setColour (theme.textDim);
    g.setFont (displayFont (kTagHeight).boldened().withExtraKerningFactor (kTagKerning));
    g.drawText (kFactoryTag, 0, 0, width - kRowTextInset, height, juce::Justification::centredRight, false);
}

void PresetPanel::listBoxItemClicked (int row, const juce::MouseEvent&)
{
    if (! isRow (row))
        return;

    presetManager.loadPreset (names[row]);
    if (onPresetLoaded)
        onPresetLoaded();
}

void PresetPanel::saveTypedName()
{
    const auto name = nameEditor.getText().trim();
    if (name.isEmpty())
        return;

    presetManager.savePreset (name);
    refreshList();
}

void PresetPanel::deleteSelectedPreset()
{
    const auto row = list.getSelectedRow();
    if (! isRow (row))
        return;

    // Factory names are refused by the manager, so their rows stay.
    presetManager.deletePreset (names[row]);
    refreshList();
}

void PresetPanel::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();

    g.setColour (theme.shadowBase.withAlpha (kBackdropAlpha));
    g.fillRoundedRectangle (bounds.translated (0.0f, kBackdropDrop), theme.radiusLarge);

    g.setColour (theme.panelBackground);
    g.fillRoundedRectangle (bounds, theme.radiusLarge);

    g.setColour (theme.hairline);
    g.drawRoundedRectangle (bounds.reduced (kBorderInset), theme.radiusLarge, kBorderWidth);
}

void PresetPanel::resized()
{
    const auto innerWidth = juce::jmax (getWidth() - 2 * kMargin, 0);
    const auto innerHeight = juce::jmax (getHeight() - 2 * kMargin, 0);
    const auto rowHeight = juce::jmin (innerHeight, kBottomRowHeight);
    const auto above = innerHeight - rowHeight;

    list.setBounds (kMargin, kMargin, innerWidth, above - juce::jmin (above, kGap));
    layOutBottomRow ({ kMargin, kMargin + above, innerWidth, rowHeight });
}

void PresetPanel::layOutBottomRow (juce::Rectangle<int> row)
{
    // Buttons keep their width first; the name editor gets what is left.
    deleteButton.setBounds (row.removeFromRight (kButtonWidth));
    row.removeFromRight (kGap);
    saveButton.setBounds (row.removeFromRight (kButtonWidth));
    row.removeFromRight (kGap);
    nameEditor.setBounds (row);
}

void PresetPanel::visibilityChanged()
{
    if (isVisible())
        refreshList();
}

} // namespace vo::gui
