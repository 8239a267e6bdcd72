#pragma once

#include "BottomBar.h"
#include "GrainTexture.h"
#include "HeaderBar.h"
#include "LookAndFeel.h"
#include "PresetPanel.h"
#include "Theme.h"
#include "TooltipLayer.h"
#include "TypefaceCache.h"
#include "i18n/Lang.h"

#include "core/ProcessorBase.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace vo::gui
{

// The base of every product editor: one fixed design (780 pixels wide) scaled
// as a whole to the window, a corner grip that keeps the aspect ratio, the
// remembered scale, header, preset panel, bottom bar, bypass scrim, tooltips,
// undo/redo keys, the toolkit language, and the heartbeat the freeze
// watchdog watches. The product fills `getBody()` in design pixels only.
class EditorShell : public juce::AudioProcessorEditor
{
public:
    static constexpr int kDesignWidth = 780;
    static constexpr int kDefaultDesignHeight = 608;
    static constexpr float kMinimumScale = 0.75f;
    static constexpr float kMaximumScale = 2.0f;
    // A stored scale a little outside the limits was rounded on its way out;
    // anything further out is not ours.
    static constexpr float kLowestReadableScale = 0.74f;
    static constexpr float kHighestReadableScale = 2.01f;
    static constexpr int kHeartbeatIntervalMs = 500;
    static constexpr int kScaleSaveDelayMs = 600;
    static constexpr std::uint32_t kGrainSeed = 0x5EEDA110;
    static constexpr const char* kScaleFileName = "ui-scale.txt";
    static constexpr const char* kRootProperty = "voRoot";
    static constexpr const char* kTooltipProperty = "voTooltip";

    class Corner : public juce::ResizableCornerComponent
    {
    public:
        Corner (juce::Component& editor, juce::ComponentBoundsConstrainer* limits, const Theme& theme);
        void paint (juce::Graphics& g) override;

    private:
        const Theme* theme;
    };

    class Scrim : public juce::Component
    {
    public:
        void paint (juce::Graphics& g) override;

        const Theme* theme = nullptr;
        float cornerRadius = 0.0f;
        bool coversAll = false;
    };

    class DebounceTimer : public juce::Timer
    {
    public:
        std::function<void()> action;
        void timerCallback() override;
    };

    class UiBeatTimer : public juce::Timer
    {
    public:
        void timerCallback() override;
    };

    // The two sizes are a product's nominal window; the shell opens at the
    // design size times the remembered scale, whatever they say.
    EditorShell (core::ProcessorBase& processor, Theme theme, int initialWidth, int initialHeight);
    ~EditorShell() override;

    HeaderBar& getHeaderBar() noexcept { return header; }
    const HeaderBar& getHeaderBar() const noexcept { return header; }
    juce::Component& getBody() noexcept { return body; }
    BottomBar& getBottomBar() noexcept { return bottomBar; }
    PresetPanel& getPresetPanel() noexcept { return presetPanel; }
    TooltipLayer& getTooltipLayer() noexcept { return tooltipLayer; }
    juce::Component& getRoot() noexcept { return root; }
    Scrim& getScrim() noexcept { return scrim; }
    Corner* getCorner() noexcept { return corner.get(); }

    void layout();
    void setDesignHeight (int height);
    int getDesignHeight() const noexcept { return designHeight; }
    void setOverlay (juce::Component* component);
    void setLanguage (i18n::Lang lang);
    i18n::Lang getLanguage() const noexcept { return language; }

    // Hands the maker's name, byline and addresses to header and bottom bar.
    void setMakerInfo (const MakerInfo& info);

    // Where "ui-scale.txt" lives: the product's folder in the user's
    // application data (empty when there is none).
    juce::File scaleFile() const;

    // The scale a file's text asks for, when it is one this shell accepts.
    static std::optional<float> scaleForText (const juce::String& text);

    // The scale an editor opens at: the file's when it holds an acceptable
    // one, else the state's, clamped to the limits.
    static float startingScaleFor (float stateScale, const juce::File& file);

    void paint (juce::Graphics& g) override;
    void resized() override;
    bool keyPressed (const juce::KeyPress& key) override;
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;

    // Members a product may set after construction.
    int headerHeight = 56;
    int bottomBarHeight = 44;
    bool keyboardShortcuts = false;
    float cornerRadius = 0.0f;
    juce::Colour cornerColour;

protected:
    core::ProcessorBase& processor;
    const Theme theme;

private:
    void connectCallbacks();
    void attachBypass();
    float startingScale() const;
    void applyResizeLimits();
    void writeScaleFile() const;
    void togglePresetPanel();
    void toggleHelpMode();
    void takeFocusFor (juce::Component* pressed);

    juce::SharedResourcePointer<TypefaceCache> typefaces;
    LookAndFeel lookAndFeel;
    int designHeight = kDefaultDesignHeight;
    GrainTexture grain;
    bool constructing = true;
    UiBeatTimer uiBeat;
    DebounceTimer scaleSaver;

    juce::Component root;
    juce::Component body;
    Scrim scrim;
    HeaderBar header;
    BottomBar bottomBar;
    PresetPanel presetPanel;
    TooltipLayer tooltipLayer;
    juce::Component* overlay = nullptr;
    i18n::Lang language = i18n::Lang::English;
    std::unique_ptr<Corner> corner;
    std::unique_ptr<juce::ParameterAttachment> bypassAttachment;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EditorShell)
};

} // namespace vo::gui
