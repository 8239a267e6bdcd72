#pragma once

#include "GrainTexture.h"
#include "LookAndFeel.h"
#include "MakerInfo.h"
#include "Theme.h"
#include "i18n/Lang.h"

#include "core/ProcessorBase.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <functional>
#include <memory>

namespace vo::gui
{

// The strip across the top of every editor: brand on the left, the preset
// selector in the middle, A/B, undo/redo, help and settings on the right.
// It talks to the processor's preset and state managers itself and to its
// owner through callbacks; a product restyles it through skins, extra
// components and a settings-menu extension instead of subclassing.
class HeaderBar : public juce::Component,
                  private juce::ChangeListener,
                  private juce::Timer
{
public:
    static constexpr int kRefreshIntervalMs = 600;
    // A parameter this far (normalised) from the last loaded or saved preset
    // marks the preset name as changed.
    static constexpr float kChangedThreshold = 0.0001f;
    static constexpr const char* kChangedMarker = " *";
    static constexpr std::uint32_t kGrainSeed = 0x5EEDA111;

    // Draws the preset name's background and the two arrows.
    class PresetSkin
    {
    public:
        virtual ~PresetSkin() = default;
        virtual void drawNameBackground (juce::Graphics& g, juce::Rectangle<float> bounds, bool down, bool highlighted) = 0;
        virtual void drawArrow (juce::Graphics& g, juce::Rectangle<float> bounds, int direction, bool down, bool highlighted) = 0;
        // True when the arrows need no "<" / ">" text over them.
        virtual bool drawsArrowText (juce::Graphics& g, juce::Button& button, bool highlighted) = 0;
    };

    // Draws the round background of the help and settings buttons.
    class IconSkin
    {
    public:
        virtual ~IconSkin() = default;
        virtual void paintButton (juce::Graphics& g, juce::Rectangle<float> circle, bool down, bool highlighted) = 0;
        // Pixels the header shrinks the drawn circle by on every side.
        virtual int ringInset() = 0;
    };

    class IconButton : public juce::Button
    {
    public:
        enum class Kind : std::int32_t { Undo = 0, Redo = 1, Help = 2, Settings = 3 };

        IconButton (Kind kind, const Theme& theme);

        Kind getKind() const noexcept { return kind; }
        void setSkin (IconSkin* newSkin) noexcept { skin = newSkin; }
        void setBadge (bool on) noexcept { badge = on; }
        bool hasBadge() const noexcept { return badge; }

        // The drawn circle in local coordinates.
        juce::Rectangle<float> circleBounds() const;

        bool hitTest (int x, int y) override;
        void paintButton (juce::Graphics& g, bool highlighted, bool down) override;

    private:
        bool isRound() const noexcept { return kind == Kind::Help || kind == Kind::Settings; }
        void drawHistoryArrow (juce::Graphics& g, juce::Rectangle<float> circle, juce::Colour colour) const;
        void drawGear (juce::Graphics& g, juce::Rectangle<float> circle, juce::Colour colour) const;
        void drawBadge (juce::Graphics& g, juce::Rectangle<float> circle) const;

        Kind kind;
        const Theme* theme;
        IconSkin* skin = nullptr;
        bool badge = false;
    };

    // The header's preset buttons drawn by the product's preset skin.
    class PresetLookAndFeel : public LookAndFeel
    {
    public:
        PresetLookAndFeel (const Theme& theme, HeaderBar& owner);

        void drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                                   bool highlighted, bool down) override;
        void drawButtonText (juce::Graphics& g, juce::TextButton& button, bool highlighted, bool down) override;

    private:
        HeaderBar* owner;
    };

    HeaderBar (core::ProcessorBase& processor, const Theme& theme);
    ~HeaderBar() override;

    // Set by the owner.
    std::function<void()> onPresetNameClicked;
    std::function<void()> onHelpClicked;
    std::function<void (float scale)> onWindowSizeChosen;
    std::function<void (i18n::Lang)> onLanguageChosen;     // empty: no language section in the menu
    std::function<void (juce::PopupMenu&)> extendSettingsMenu;
    std::function<void (juce::Graphics&, juce::Rectangle<int>)> paintBackground;

    void setLogo (const juce::Image& image, float height);
    void setLeftComponent (juce::Component* component, int size);
    void setRightComponent (juce::Component* component, int width, int gap);
    void setCentreComponent (juce::Component* component, int size, int gap);
    void setPresetSkin (PresetSkin* skin);
    void setIconSkin (IconSkin* skin);
    void setSettingsBadge (bool on);
    void setMakerInfo (const MakerInfo& info) { maker = info; }

    void refresh();
    void selectSlot (int slot);

    // Steps the history (flushing gestures first) and refreshes the bar when
    // something was undone or redone; false when there was nothing to step.
    bool undoOrRedo (bool redo);

    // Builds the settings menu and shows it asynchronously at the settings button.
    void showSettingsMenu();
    // The menu showSettingsMenu shows; tests read its items.
    juce::PopupMenu buildSettingsMenu();

    PresetSkin* getPresetSkin() const noexcept { return presetSkin; }
    bool isPreviousButton (const juce::Button& b) const noexcept { return &b == &previousButton; }
    bool isNextButton (const juce::Button& b) const noexcept { return &b == &nextButton; }

    juce::TextButton& getPreviousButton() noexcept { return previousButton; }
    juce::TextButton& getNextButton() noexcept { return nextButton; }
    juce::TextButton& getNameButton() noexcept { return nameButton; }
    juce::TextButton& getSlotButton (int slot) noexcept { return slot == 0 ? slotAButton : slotBButton; }
    IconButton& getUndoButton() noexcept { return undoButton; }
    IconButton& getRedoButton() noexcept { return redoButton; }
    IconButton& getHelpButton() noexcept { return helpButton; }
    IconButton& getSettingsButton() noexcept { return settingsButton; }

    void paint (juce::Graphics& g) override;
    void resized() override;

    // Public so that a product can set them after construction.
    i18n::Lang language = i18n::Lang::English;
    bool textTitle = false;
    juce::String title;
    bool showMark = false;
    bool historyInMenu = false;
    juce::String infoLine;

    int centreGap = 12, arrowWidth = 20, nameWidth = 106, rowHeight = 24, innerGap = 2, brandPadding = 16;
    int buttonSize = 28, buttonGap = 8, sideMargin = 16, leftGap = 8, rightReserve = 8, verticalInset = 0;

    // Badges beside the logo: an image, a tint (alpha kept, colour replaced),
    // a height and the gap after it.
    struct Badge
    {
        juce::Image image;
        juce::Colour tint = juce::Colours::white;
        float height = 0.0f;
        float gap = 0.0f;
    };
    Badge leadingBadge { {}, juce::Colours::white, 20.0f, 10.0f };
    Badge trailingBadge { {}, juce::Colours::white, 22.0f, 12.0f };

private:
    void changeListenerCallback (juce::ChangeBroadcaster*) override { refresh(); }
    void timerCallback() override { refresh(); }

    juce::String presetNameWithMarker() const;
    void wireButtons();

    void layoutStandard();
    void layoutCompact();
    void placePresetGroup (juce::Rectangle<int> middle, int groupWidth, int rowH, int arrowW, int gap);
    int brandWidth() const;
    float titleFontHeight() const;
    juce::String titleText() const;

    void addWindowSizeItems (juce::PopupMenu& menu);
    void addInfoItems (juce::PopupMenu& menu);
    void addMakerItems (juce::PopupMenu& menu);

    void paintBrand (juce::Graphics& g);
    void paintMakerBrand (juce::Graphics& g, juce::Colour titleColour, float fontHeight);
    float drawBadge (juce::Graphics& g, Badge& badge, juce::Image& scaled, float& scaledFor, float x);
    void drawImageCentred (juce::Graphics& g, const juce::Image& image, juce::Image& scaled, float& scaledFor,
                           float x, float height, juce::Colour tint, bool tinted);
    void drawMark (juce::Graphics& g, float x);

    core::ProcessorBase& processor;
    const Theme theme;
    MakerInfo maker;
    GrainTexture grain;

    juce::Image logo, makerLogo, scaledLogo, scaledLeadingBadge, scaledTrailingBadge;
    float logoHeight = 27.0f;
    float logoScale = 0.0f, leadingScale = 0.0f, trailingScale = 0.0f;

    juce::Component* leftComponent = nullptr;
    int leftSize = 28;
    juce::Component* rightComponent = nullptr;
    int rightWidth = 0, rightGap = 10;
    juce::Component::SafePointer<juce::Component> centreComponent;
    int centreSize = 0;

    PresetSkin* presetSkin = nullptr;
    std::unique_ptr<PresetLookAndFeel> presetLookAndFeel;

    juce::TextButton previousButton { "<" }, nextButton { ">" }, nameButton { "" };
    juce::TextButton slotAButton { "a" }, slotBButton { "b" };
    IconButton undoButton, redoButton, helpButton, settingsButton;
    bool settingsBadge = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HeaderBar)
};

} // namespace vo::gui
