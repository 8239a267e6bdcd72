#include "EditorShell.h"

#include "i18n/LanguageFile.h"
#include "i18n/Translate.h"

#include "core/NumberText.h"
#include "diagnostics/DiagLog.h"
#include "platform/Platform.h"

#include <cmath>

namespace vo::gui
{

namespace
{

constexpr int kPresetPanelWidth = 290;
constexpr int kPresetPanelHeight = 260;
constexpr int kPresetPanelGap = 6;
constexpr int kCornerSize = 16;
constexpr int kCornerMargin = 18;
constexpr float kCornerStroke = 1.1f;
constexpr float kCornerAlpha = 0.55f;
constexpr juce::int64 kMaximumScaleFileBytes = 64;
constexpr int kScaleDecimals = 4;

float clampScale (float scale)
{
    if (! std::isfinite (scale))
        return 1.0f;
    return juce::jlimit (EditorShell::kMinimumScale, EditorShell::kMaximumScale, scale);
}

// The one place a press may leave the keyboard focus where it is.
bool keepsItsOwnFocus (juce::Component* pressed)
{
    for (auto* c = pressed; c != nullptr; c = c->getParentComponent())
        if (dynamic_cast<juce::TextEditor*> (c) != nullptr)
            return true;
    return pressed != nullptr && pressed->getWantsKeyboardFocus();
}

} // namespace

//==============================================================================
EditorShell::Corner::Corner (juce::Component& editor, juce::ComponentBoundsConstrainer* limits,
                             const Theme& themeToUse)
    : juce::ResizableCornerComponent (&editor, limits), theme (&themeToUse)
{
}

void EditorShell::Corner::paint (juce::Graphics& g)
{
    const float w = (float) getWidth(), h = (float) getHeight();
    g.setColour (theme->textDim.withMultipliedAlpha (kCornerAlpha));
    for (int i = 0; i < 2; ++i)
        g.drawLine (w - 9.0f + 4.0f * (float) i, h - 3.0f, w - 3.0f, h - 9.0f + 4.0f * (float) i, kCornerStroke);
}

void EditorShell::Scrim::paint (juce::Graphics& g)
{
    if (theme == nullptr)
        return;
    g.setColour (theme->scrim);
    if (cornerRadius <= 0.0f)
    {
        g.fillAll();
        return;
    }
    juce::Path shape;
    const auto b = getLocalBounds().toFloat();
    shape.addRoundedRectangle (b.getX(), b.getY(), b.getWidth(), b.getHeight(), cornerRadius, cornerRadius,
                               coversAll, coversAll, true, true);
    g.fillPath (shape);
}

void EditorShell::DebounceTimer::timerCallback()
{
    stopTimer();
    if (action)
        action();
}

void EditorShell::UiBeatTimer::timerCallback()
{
    diagnostics::DiagLog::instance().lastUiHeartbeat.store (platform::tickCountMs());
}

//==============================================================================
EditorShell::EditorShell (core::ProcessorBase& processorToUse, Theme themeToUse, int, int)
    : juce::AudioProcessorEditor (processorToUse),
      processor (processorToUse),
      theme (std::move (themeToUse)),
      lookAndFeel (theme),
      header (processor, theme),
      bottomBar (processor, theme),
      presetPanel (processor.getPresetManager(), theme),
      tooltipLayer (theme)
{
    if (processor.typefaceKeepAlive == nullptr)
        processor.typefaceKeepAlive = std::make_shared<juce::SharedResourcePointer<TypefaceCache>>();

    setLookAndFeel (&lookAndFeel);
    addAndMakeVisible (root);
    root.getProperties().set (kRootProperty, true);
    for (auto* c : std::initializer_list<juce::Component*> { &header, &body, &scrim, &bottomBar, &presetPanel, &tooltipLayer })
        root.addChildComponent (c);
    header.setVisible (true);
    body.setVisible (true);
    bottomBar.setVisible (true);
    tooltipLayer.setAlwaysOnTop (true);
    layout();

    scrim.theme = &theme;
    scrim.setInterceptsMouseClicks (false, false);
    tooltipLayer.setInterceptsMouseClicks (false, false);
    scrim.setVisible (false);

    connectCallbacks();
    language = i18n::readLanguageFile (i18n::vendorFolder (processor.getVendor()));
    tooltipLayer.setLanguage (language);
    header.language = language;

    attachBypass();
    root.addMouseListener (this, true);

    const float scale = startingScale();
    applyResizeLimits();
    corner = std::make_unique<Corner> (*this, getConstrainer(), theme);
    addAndMakeVisible (*corner);

    constructing = false;
    setSize (juce::roundToInt ((float) kDesignWidth * scale), juce::roundToInt ((float) designHeight * scale));

    auto& log = diagnostics::DiagLog::instance();
    const int open = ++log.openEditors;
    log.log ("editor OPEN  (now %d)", open);
    log.lastUiHeartbeat.store (platform::tickCountMs());
    uiBeat.startTimer (kHeartbeatIntervalMs);

    scaleSaver.action = [this] { writeScaleFile(); };
}

EditorShell::~EditorShell()
{
    uiBeat.stopTimer();
    scaleSaver.stopTimer();

    auto& log = diagnostics::DiagLog::instance();
    const int open = --log.openEditors;
    log.log ("editor CLOSE (now %d)", open);
    writeScaleFile();

    if (&getLookAndFeel() == &lookAndFeel)
        setLookAndFeel (nullptr);
    root.removeMouseListener (this);
    bypassAttachment.reset();
    corner.reset();
}

void EditorShell::connectCallbacks()
{
    header.onPresetNameClicked = [this] { togglePresetPanel(); };
    header.onHelpClicked = [this] { toggleHelpMode(); };
    header.onWindowSizeChosen = [this] (float s) {
        setSize ((int) ((float) kDesignWidth * s), (int) ((float) designHeight * s));
    };
    header.onLanguageChosen = [this] (i18n::Lang lang) { setLanguage (lang); };
    presetPanel.onPresetLoaded = [this] { presetPanel.setVisible (false); };
}

void EditorShell::attachBypass()
{
    auto* bypass = dynamic_cast<juce::RangedAudioParameter*> (processor.getBypassParameter());
    if (bypass == nullptr)
        return;
    bypassAttachment = std::make_unique<juce::ParameterAttachment> (
        *bypass, [this] (float value) { scrim.setVisible (value > 0.5f); }, nullptr);
    bypassAttachment->sendInitialUpdate();
}

void EditorShell::togglePresetPanel()
{
    if (presetPanel.isVisible())
    {
        presetPanel.setVisible (false);
        return;
    }
    presetPanel.setVisible (true);
    presetPanel.toFront (false);
}

void EditorShell::toggleHelpMode()
{
    tooltipLayer.setHelpMode (! tooltipLayer.isHelpMode());
}

void EditorShell::setMakerInfo (const MakerInfo& info)
{
    header.setMakerInfo (info);
    bottomBar.setMakerInfo (info);
}

//==============================================================================
juce::File EditorShell::scaleFile() const
{
    const auto folder = processor.getUserDataFolder();
    return folder == juce::File() ? juce::File() : folder.getChildFile (kScaleFileName);
}

std::optional<float> EditorShell::scaleForText (const juce::String& text)
{
    // Compared as the float it is stored as, so that "2.01" is the limit itself.
    const auto number = core::leadingNumber (text);
    if (! number.has_value() || ! (std::abs (*number) < 10.0))
        return std::nullopt;
    const auto value = static_cast<float> (*number);
    if (value < kLowestReadableScale || value > kHighestReadableScale)
        return std::nullopt;
    return clampScale (value);
}

float EditorShell::startingScaleFor (float stateScale, const juce::File& file)
{
    float scale = clampScale (stateScale);
    if (file.existsAsFile() && file.getSize() <= kMaximumScaleFileBytes)
        if (const auto stored = scaleForText (file.loadFileAsString()))
            scale = *stored;
    return scale;
}

float EditorShell::startingScale() const
{
    return startingScaleFor (processor.getStateManager().getEditorScale(), scaleFile());
}

void EditorShell::writeScaleFile() const
{
    const auto file = scaleFile();
    if (getWidth() <= 0 || file == juce::File())
        return;
    // Replaced as a whole, like the language files: a crash mid-write leaves
    // the previous scale, never an empty file.
    if (! file.getParentDirectory().createDirectory())
        return;
    file.replaceWithText (juce::String ((double) getWidth() / kDesignWidth, kScaleDecimals), false, false, nullptr);
}

void EditorShell::applyResizeLimits()
{
    setResizable (true, false);
    setResizeLimits (juce::roundToInt (kMinimumScale * kDesignWidth), juce::roundToInt (kMinimumScale * (float) designHeight),
                     juce::roundToInt (kMaximumScale * kDesignWidth), juce::roundToInt (kMaximumScale * (float) designHeight));
    if (auto* limits = getConstrainer())
        limits->setFixedAspectRatio ((double) kDesignWidth / (double) designHeight);
}

//==============================================================================
void EditorShell::layout()
{
    const int W = kDesignWidth, H = designHeight;
    root.setBounds (0, 0, W, H);
    header.setBounds (0, 0, W, headerHeight);
    header.setVisible (headerHeight > 0);
    body.setBounds (0, headerHeight, W, juce::jmax (0, H - bottomBarHeight - headerHeight));
    scrim.coversAll = static_cast<bool> (header.paintBackground);
    scrim.setBounds (scrim.coversAll ? root.getLocalBounds() : body.getBounds());
    bottomBar.setBounds (0, H - bottomBarHeight, W, bottomBarHeight);
    bottomBar.setVisible (bottomBarHeight > 0);
    presetPanel.setBounds (W / 2 - kPresetPanelWidth / 2, headerHeight + kPresetPanelGap, kPresetPanelWidth, kPresetPanelHeight);
}

void EditorShell::setDesignHeight (int height)
{
    if (height <= 0 || height == designHeight)
        return;

    const float scale = getWidth() > 0 ? (float) getWidth() / kDesignWidth
                                       : clampScale (processor.getStateManager().getEditorScale());
    designHeight = height;
    layout();
    applyResizeLimits();
    setSize (juce::roundToInt ((float) kDesignWidth * scale), juce::roundToInt ((float) height * scale));
}

void EditorShell::setOverlay (juce::Component* component)
{
    if (component == overlay)
        return;
    if (overlay != nullptr)
        root.removeChildComponent (overlay);
    overlay = component;
    if (component == nullptr)
        return;
    const int panelIndex = root.getIndexOfChildComponent (&presetPanel);
    root.addChildComponent (component, panelIndex);
}

void EditorShell::setLanguage (i18n::Lang lang)
{
    language = lang;
    tooltipLayer.setLanguage (lang);
    header.language = lang;
    i18n::writeLanguageFile (i18n::vendorFolder (processor.getVendor()), lang);
    repaint();
}

//==============================================================================
void EditorShell::paint (juce::Graphics& g)
{
    if (cornerRadius > 0.0f)
    {
        if (! cornerColour.isTransparent())
            g.fillAll (cornerColour);
        juce::Path clip;
        clip.addRoundedRectangle (getLocalBounds().toFloat(), cornerRadius * (float) getWidth() / kDesignWidth);
        g.reduceClipRegion (clip);
    }
    g.fillAll (theme.background);
    grain.draw (g, getLocalBounds(), theme.grainOpacity, kGrainSeed);
}

void EditorShell::resized()
{
    if (constructing || getWidth() <= 0 || getHeight() <= 0)
        return;
    root.setTransform (juce::AffineTransform::scale ((float) getWidth() / kDesignWidth,
                                                     (float) getHeight() / (float) designHeight));
    processor.getStateManager().setEditorScale ((float) getWidth() / kDesignWidth);
    scaleSaver.startTimer (kScaleSaveDelayMs);
    if (corner != nullptr)
        corner->setBounds (getWidth() - kCornerMargin, getHeight() - kCornerMargin, kCornerSize, kCornerSize);
}

//==============================================================================
bool EditorShell::keyPressed (const juce::KeyPress& key)
{
    const auto mods = key.getModifiers();
    if (! keyboardShortcuts || ! mods.isCommandDown() || mods.isAltDown())
        return false;

    const int code = key.getKeyCode();
    const bool isZ = code == 'Z' || code == 'z';
    const bool isY = code == 'Y' || code == 'y';
    // Handled only when something was undone, so that a host's own undo
    // gets the key otherwise.
    if (isZ && ! mods.isShiftDown())
        return header.undoOrRedo (false);
    if ((isZ && mods.isShiftDown()) || isY)
        return header.undoOrRedo (true);
    return false;
}

void EditorShell::mouseEnter (const juce::MouseEvent& e)
{
    auto* child = e.eventComponent;
    if (child == nullptr)
        return;
    auto text = child->getProperties()[kTooltipProperty].toString();
    if (text.isEmpty() && child->getParentComponent() != nullptr)
        text = child->getParentComponent()->getProperties()[kTooltipProperty].toString();

    if (text.isNotEmpty())
        tooltipLayer.requestShow (child, i18n::translate (tooltipLayer.getLanguage(), text));
    else
        tooltipLayer.requestHide();
}

void EditorShell::mouseExit (const juce::MouseEvent&)
{
    tooltipLayer.requestHide();
}

void EditorShell::mouseDown (const juce::MouseEvent& e)
{
    tooltipLayer.requestHide();
    auto* pressed = e.eventComponent;
    const auto inside = [pressed] (juce::Component& c) { return pressed == &c || c.isParentOf (pressed); };
    if (presetPanel.isVisible() && ! inside (presetPanel) && ! inside (header))
        presetPanel.setVisible (false);
    if (keyboardShortcuts)
        takeFocusFor (pressed);
}

void EditorShell::takeFocusFor (juce::Component* pressed)
{
    if (keepsItsOwnFocus (pressed))
        return;
    auto* focused = juce::Component::getCurrentlyFocusedComponent();
    if (focused != nullptr && (focused == this || isParentOf (focused)))
        return;
    setWantsKeyboardFocus (true);
    grabKeyboardFocus();
}

} // namespace vo::gui
