#pragma once

#include "UpdatePanel.h"
#include "i18n/Table.h"
#include "plugin/Processor.h"
#include "plugin/update/Check.h"
#include "plugin/update/Release.h"
#include "spectrum/SpectrumView.h"
#include "widgets/Backdrop.h"
#include "widgets/HeaderVeil.h"
#include "widgets/Lamp.h"
#include "widgets/RoundButton.h"
#include "widgets/ToggleSwitch.h"
#include "widgets/ZelIconSkin.h"
#include "widgets/ZelPresetSkin.h"

#include "gui/EditorShell.h"
#include "gui/ImageShadow.h"
#include "gui/Knob.h"
#include "gui/SectionLabel.h"

#include <functional>
#include <memory>
#include <vector>

namespace vo::plugins::zel
{

// ZEL's window: the shell's frame and header, dressed in the hardware
// artwork, with the spectrum view, the three main knobs and their lamps, the
// advanced section, hover help in six languages and the update service.
// Message thread only; the display data arrive through the engine's
// lock-free hand-over that the spectrum view polls.
class Editor : public vo::gui::EditorShell
{
public:
    using HeaderVeil = ui::HeaderVeil;
    using ZelPresetSkin = ui::ZelPresetSkin;
    using ZelIconSkin = ui::ZelIconSkin;

    static constexpr int kHeaderHeight = 72;
    static constexpr int kClosedHeight = 608;
    static constexpr int kAdvancedHeight = 748;
    static constexpr float kWindowCornerRadius = 24.0f;
    static constexpr float kVeilAlpha = 0.82f;
    static constexpr float kLowCutLitAbove = 0.004f;
    static constexpr float kHighCutLitBelow = 0.996f;
    static constexpr juce::int64 kAutomaticCheckSeconds = 86399;

    struct HelpTarget
    {
        juce::Component* component;
        std::function<juce::String()> text;
    };

    // `updateDocumentUrl` replaces the maker's address of the update document
    // (tests point it at a local server); empty means the built-in one.
    explicit Editor (Processor& processor, juce::String updateDocumentUrl = {});
    ~Editor() override;

    void setLanguage (int index);
    int getLanguage() const noexcept { return language; }
    const i18n::Table& getTexts() const noexcept { return *texts; }
    bool isAdvancedOpen() const noexcept { return advancedOpen; }
    void toggleAdvanced();

    // The per-frame refresh the spectrum view drives.
    void onTick();
    // The long help for whatever sits under the pointer (empty when nothing
    // there has help); `under` may be null.
    juce::String helpTextFor (juce::Component* under) const;
    // Hands the spectrum view's status line the help for `under`, or the
    // summary while help mode is on and `under` has none.
    void refreshHelp (juce::Component* under);

    void checkForUpdatesNow();
    void showUpdatePanel (int panelState, const upd::Release& release);
    void onUpdateOutcome (upd::Outcome outcome, const upd::Release& release);
    bool isUpdateAvailable() const noexcept { return updateAvailable; }
    const upd::Release& getAvailableRelease() const noexcept { return availableRelease; }
    upd::Check& getUpdateCheck() noexcept { return *updateCheck; }

    // The parts tests and the picture harness reach.
    ui::SpectrumView& getSpectrum() noexcept { return *spectrum; }
    ui::Backdrop& getBackdrop() noexcept { return *backdrop; }
    UpdatePanel& getUpdatePanel() noexcept { return *updatePanel; }
    HeaderVeil& getHeaderVeil() noexcept { return headerVeil; }
    ui::ToggleSwitch& getBypassSwitch() noexcept { return *bypassSwitch; }
    ui::ToggleSwitch& getModeSwitch() noexcept { return *modeSwitch; }
    ui::RoundButton& getUndoButton() noexcept { return *undoButton; }
    ui::RoundButton& getFreezeButton() noexcept { return *freezeButton; }
    ui::RoundButton& getAdvancedButton() noexcept { return *advancedButton; }
    ui::RoundButton& getScAuditionButton() noexcept { return *scAuditionButton; }
    ui::Lamp& getLowCutLamp() noexcept { return *lowCutLamp; }
    ui::Lamp& getHighCutLamp() noexcept { return *highCutLamp; }
    vo::gui::Knob& getAmountKnob() noexcept { return *amountKnob; }
    vo::gui::Knob& getLowCutKnob() noexcept { return *lowCutKnob; }
    vo::gui::Knob& getHighCutKnob() noexcept { return *highCutKnob; }
    vo::gui::Knob& getPanKnob() noexcept { return *panKnob; }
    vo::gui::Knob& getAttackKnob() noexcept { return *attackKnob; }
    vo::gui::Knob& getReleaseKnob() noexcept { return *releaseKnob; }
    vo::gui::Knob& getSmoothKnob() noexcept { return *smoothKnob; }
    vo::gui::SectionLabel& getAdvancedSection() noexcept { return *advancedSection; }
    juce::Label& getFreezeLabel() noexcept { return freezeLabel; }
    juce::Label& getAdvancedLabel() noexcept { return advancedLabel; }
    juce::Label& getScAuditionLabel() noexcept { return scAuditionLabel; }
    juce::Label& getModeLabel() noexcept { return modeLabel; }
    juce::Label& getLrLabel() noexcept { return lrLabel; }
    juce::Label& getMsLabel() noexcept { return msLabel; }

    // The settings menu's items this editor adds (tests read them).
    void addSettingsItems (juce::PopupMenu& menu);

private:
    void configureHeader();
    void configureFrame();
    void createControls();
    void addContent();
    void buildUpdateService();
    void startAutomaticCheck();
    void buildHelpTargets();
    void applyTexts();
    void setFocusOrder();
    void applyAccessibleNames();
    void layoutControls();
    void placeByCentre (juce::Component& component, juce::Point<int> centre, int box);
    void paintHeaderBackground (juce::Graphics& g, juce::Rectangle<int> area);
    void undoFromButton();
    void refreshUndoButton();
    void refreshLamps (bool immediately);
    void refreshVeil();
    juce::String headerButtonHelp (const juce::Button* button) const;
    void openLink (const juce::String& address) const;

    Processor& processor;
    const juce::String updateDocumentUrl;
    int language = 0;
    const i18n::Table* texts;
    HeaderVeil headerVeil;
    ZelPresetSkin presetSkin;
    ZelIconSkin iconSkin;
    vo::gui::ImageShadow wordmarkShadow;
    juce::Image wordmark;
    std::unique_ptr<ui::Backdrop> backdrop;
    std::unique_ptr<ui::SpectrumView> spectrum;
    std::unique_ptr<ui::ToggleSwitch> bypassSwitch;
    std::unique_ptr<ui::RoundButton> undoButton;
    std::unique_ptr<ui::RoundButton> freezeButton, advancedButton;
    std::unique_ptr<vo::gui::Knob> amountKnob, lowCutKnob, highCutKnob;
    std::unique_ptr<ui::Lamp> lowCutLamp, highCutLamp;
    juce::AudioParameterFloat* lowCutParam = nullptr;
    juce::AudioParameterFloat* highCutParam = nullptr;
    bool advancedOpen = false;
    std::unique_ptr<vo::gui::SectionLabel> advancedSection;
    std::unique_ptr<vo::gui::Knob> panKnob;
    juce::Label freezeLabel, advancedLabel, scAuditionLabel, modeLabel, lrLabel, msLabel;
    std::unique_ptr<ui::ToggleSwitch> modeSwitch;
    std::unique_ptr<vo::gui::Knob> attackKnob, releaseKnob, smoothKnob;
    std::unique_ptr<ui::RoundButton> scAuditionButton;
    bool canUndo = false;
    std::unique_ptr<UpdatePanel> updatePanel;
    std::unique_ptr<upd::Check> updateCheck;
    upd::Release availableRelease;
    bool updateAvailable = false;
    bool manualCheckPending = false;
    juce::Component::SafePointer<juce::Component> focusBeforePanel;
    std::vector<HelpTarget> helpTargets;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Editor)
};

} // namespace vo::plugins::zel
