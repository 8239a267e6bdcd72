#include "Editor.h"

#include "ProductTheme.h"
#include "i18n/LanguageFile.h"
#include "i18n/Tables.h"
#include "plugin/ProductInfo.h"
#include "widgets/Artwork.h"
#include "plugin/update/Version.h"

#include "gui/Fonts.h"
#include "gui/MakerInfo.h"

#include <tuple>

namespace vo::plugins::zel
{

namespace
{

constexpr float kLabelFontHeight = 12.0f;
constexpr float kLabelKerning = 0.02f;
constexpr float kSwitchSize = 27.72f;
constexpr float kRoundButtonDiameter = 36.0f;
constexpr float kUndoDiameter = 26.0f;
constexpr float kLampDiameter = 22.0f;
constexpr int kRoundMargin = 16;
constexpr float kWordmarkHeight = 56.0f;
constexpr int kWordmarkX = 52;
constexpr float kWordmarkShadowAlpha = 0.6f;
constexpr juce::uint32 kWindowCornerColour = 0xff0e0e0e;
constexpr int kLanguageMenuBase = 0x5a4c00;

vo::gui::ShadowSpec softened (vo::gui::ShadowSpec recipe)
{
    const auto alpha = juce::jmin (255, juce::roundToInt (recipe.colour.getAlpha() * kWordmarkShadowAlpha));
    recipe.colour = recipe.colour.withAlpha (static_cast<juce::uint8> (alpha));
    return recipe;
}

juce::AudioParameterFloat* floatParameter (Processor& processor, const juce::String& id)
{
    return dynamic_cast<juce::AudioParameterFloat*> (
        processor.getStateManager().getValueTreeState().getParameter (id));
}

float normalised (const juce::AudioProcessorParameter& parameter)
{
    return parameter.getValue();
}

using i18n::textOf;
using Field = const char* i18n::Table::*;

} // namespace

//==============================================================================
Editor::Editor (Processor& processorToUse, juce::String documentUrl)
    : vo::gui::EditorShell (processorToUse, ui::productTheme(), kDesignWidth, kClosedHeight),
      processor (processorToUse),
      updateDocumentUrl (std::move (documentUrl)),
      texts (&i18n::tableFor (0)),
      presetSkin (theme),
      iconSkin (theme),
      wordmarkShadow (softened (theme.knobContactShadow))
{
    for (auto* label : { &freezeLabel, &advancedLabel, &scAuditionLabel, &modeLabel, &lrLabel, &msLabel })
        label->setText ({}, juce::dontSendNotification);

    if (headerHeight != kHeaderHeight || bottomBarHeight != 0)
    {
        headerHeight = kHeaderHeight;
        bottomBarHeight = 0;
        layout();
    }
    configureHeader();
    keyboardShortcuts = true;
    setWantsKeyboardFocus (true);
    setFocusContainerType (juce::Component::FocusContainerType::keyboardFocusContainer);

    language = i18n::LanguageFile (processor.getUserDataFolder()).readStartIndex();
    texts = &i18n::tableFor (language);

    backdrop = std::make_unique<ui::Backdrop> (theme);
    spectrum = std::make_unique<ui::SpectrumView> (
        [this] (DisplayFrame& out) { processor.getEngine().readDisplayFrame (out); }, theme);
    backdrop->setOverlap (kHeaderHeight);
    backdrop->setCornerRadius (kWindowCornerRadius);
    getHeaderBar().paintBackground = [this] (juce::Graphics& g, juce::Rectangle<int> area) {
        paintHeaderBackground (g, area);
    };

    headerVeil.setCornerRadius (kWindowCornerRadius);
    headerVeil.setVeilColour (theme.background.withAlpha (kVeilAlpha));
    headerVeil.setInterceptsMouseClicks (false, false);
    getHeaderBar().addChildComponent (headerVeil);

    configureFrame();
    createControls();
    addContent();
    buildUpdateService();

    buildHelpTargets();
    setFocusOrder();
    spectrum->tickCallback = [this] { onTick(); };
    applyTexts();
    layoutControls();
    refreshLamps (true);
}

Editor::~Editor()
{
    spectrum->tickCallback = nullptr;
    updateCheck.reset();
    auto& bar = getHeaderBar();
    bar.setLeftComponent (nullptr, 28);
    bar.setCentreComponent (nullptr, 0, 12);
    bar.setPresetSkin (nullptr);
    bar.setIconSkin (nullptr);
    bar.extendSettingsMenu = nullptr;
    bar.paintBackground = nullptr;
    helpTargets.clear();
    setOverlay (nullptr);
    updatePanel.reset();
}

//==============================================================================
void Editor::configureHeader()
{
    auto& bar = getHeaderBar();
    bar.textTitle = true;
    bar.title = product::kName;
    bar.brandPadding = 52;
    bar.buttonSize = 54;
    bar.buttonGap = -8;
    bar.sideMargin = 44;
    bar.leftGap = -8;
    bar.rightReserve = -8;
    bar.verticalInset = 3;

    wordmark = ui::Artwork::load ("zelwordmark_png");
    if (wordmark.isValid())
        bar.setLogo (wordmark, kWordmarkHeight);

    if (! bar.historyInMenu)
    {
        bar.historyInMenu = true;
        for (juce::Component* button : std::initializer_list<juce::Component*> {
                 &bar.getSlotButton (0), &bar.getSlotButton (1), &bar.getUndoButton(), &bar.getRedoButton() })
            button->setVisible (false);
    }

    setMakerInfo ({ product::kVendor, product::kByline, product::kWebsite, product::kSupportEmail });
    bar.infoLine = product::kByline;
    bar.onLanguageChosen = nullptr;
}

void Editor::configureFrame()
{
    cornerRadius = kWindowCornerRadius;
    cornerColour = juce::Colour (kWindowCornerColour);
    getScrim().cornerRadius = kWindowCornerRadius;
    layout();
    setOpaque (cornerRadius > 0.0f && ! cornerColour.isTransparent());
    repaint();

    auto& bar = getHeaderBar();
    bar.setIconSkin (&iconSkin);
    bar.setPresetSkin (&presetSkin);
    bar.arrowWidth = 36;
    bar.nameWidth = 176;
    bar.rowHeight = 46;
    bar.innerGap = -6;
    bar.resized();
}

void Editor::createControls()
{
    auto& state = processor.getStateManager();
    auto& bar = getHeaderBar();

    undoButton = std::make_unique<ui::RoundButton> ("undo", ui::RoundButton::UndoIcon, theme, textOf (texts->helpUndo));
    undoButton->setDiameter (kUndoDiameter);
    undoButton->onClick = [this] { undoFromButton(); };
    canUndo = state.canUndo();
    undoButton->setEnabled (canUndo);
    bar.setCentreComponent (undoButton.get(), juce::roundToInt (kUndoDiameter) + kRoundMargin, -6);

    freezeButton = std::make_unique<ui::RoundButton> ("freeze", ui::RoundButton::NoIcon, theme, juce::String());
    freezeButton->setDiameter (kRoundButtonDiameter);
    freezeButton->setRedWhenLit (true);
    freezeButton->attachTo (state, "freeze");

    advancedButton = std::make_unique<ui::RoundButton> ("advanced", ui::RoundButton::NoIcon, theme, juce::String());
    advancedButton->setDiameter (kRoundButtonDiameter);
    advancedButton->setRedWhenLit (true);
    advancedButton->onClick = [this] { toggleAdvanced(); };

    using Size = vo::gui::Knob::Size;
    const auto knob = [&] (const char* id, const char* caption, bool bipolar, Size size) {
        return std::make_unique<vo::gui::Knob> (state, id, caption, theme, bipolar, juce::String(), size);
    };
    amountKnob = knob ("amount", "amount", false, Size::Large);
    lowCutKnob = knob ("lowCut", "low cut", false, Size::Medium);
    highCutKnob = knob ("highCut", "high cut", false, Size::Medium);
    highCutKnob->setArcOrigin (vo::gui::Knob::ArcOrigin::End);

    lowCutLamp = std::make_unique<ui::Lamp> (theme);
    highCutLamp = std::make_unique<ui::Lamp> (theme);
    lowCutLamp->setDiameter (kLampDiameter);
    highCutLamp->setDiameter (kLampDiameter);
    lowCutParam = floatParameter (processor, "lowCut");
    highCutParam = floatParameter (processor, "highCut");

    panKnob = knob ("pan", "pan", true, Size::Small);
    modeSwitch = std::make_unique<ui::ToggleSwitch> (state, "mode", theme, juce::String());
    modeSwitch->setSwitchSize (kSwitchSize);
    attackKnob = knob ("attack", "attack", false, Size::Small);
    releaseKnob = knob ("release", "release", false, Size::Small);
    smoothKnob = knob ("smooth", "smooth", false, Size::Small);

    scAuditionButton = std::make_unique<ui::RoundButton> ("sc audition", ui::RoundButton::NoIcon, theme,
                                                          juce::String());
    scAuditionButton->setDiameter (kRoundButtonDiameter);
    scAuditionButton->setRedWhenLit (true);
    scAuditionButton->attachTo (state, "scAudition");

    for (auto* label : { &freezeLabel, &advancedLabel, &scAuditionLabel, &modeLabel, &lrLabel, &msLabel })
    {
        auto font = vo::gui::displayFont (kLabelFontHeight);
        font.setExtraKerningFactor (kLabelKerning);
        label->setFont (font);
        label->setColour (juce::Label::textColourId, theme.labelText);
        label->setJustificationType (juce::Justification::centred);
        label->setBorderSize ({ 0, 0, 0, 0 });
        label->setInterceptsMouseClicks (false, false);
    }

    bypassSwitch = std::make_unique<ui::ToggleSwitch> (state, "bypass", theme, textOf (texts->tipBypass));
    bypassSwitch->setSwitchSize (kSwitchSize);
    bar.setLeftComponent (bypassSwitch.get(), 44 + kRoundMargin);

    bar.extendSettingsMenu = [this] (juce::PopupMenu& menu) { addSettingsItems (menu); };
}

void Editor::addContent()
{
    auto& content = getBody();
    for (juce::Component* c : std::initializer_list<juce::Component*> {
             backdrop.get(), lowCutLamp.get(), highCutLamp.get(), spectrum.get(), freezeButton.get(),
             advancedButton.get(), &freezeLabel, &advancedLabel, amountKnob.get(), lowCutKnob.get(),
             highCutKnob.get() })
        content.addAndMakeVisible (c);
    for (juce::Component* c : std::initializer_list<juce::Component*> {
             panKnob.get(), &modeLabel, &lrLabel, &msLabel, modeSwitch.get(), attackKnob.get(), releaseKnob.get(),
             smoothKnob.get(), scAuditionButton.get(), &scAuditionLabel })
        content.addChildComponent (c);
}

//==============================================================================
void Editor::buildUpdateService()
{
    updatePanel = std::make_unique<UpdatePanel> (theme);
    updatePanel->setCornerRadius (kWindowCornerRadius);
    updatePanel->onOpenLink = [this] (const juce::String& address) { openLink (address); };
    updatePanel->onClose = [this] {
        refreshVeil();
        if (auto* previous = focusBeforePanel.getComponent(); previous != nullptr && previous->isShowing())
            previous->grabKeyboardFocus();
    };
    updatePanel->onDontAskChanged = [this] (bool value) {
        updateCheck->setDontAsk (value);
        getHeaderBar().setSettingsBadge (updateAvailable && ! value);
    };

    const bool standalone = processor.wrapperType == juce::AudioProcessor::wrapperType_Standalone;
    updateCheck = std::make_unique<upd::Check> (processor.getUserDataFolder().getFullPathName(),
                                                product::kVersion, standalone, updateDocumentUrl);
    updateCheck->onResult = [this] (upd::Outcome outcome, upd::Release release) { onUpdateOutcome (outcome, release); };

    const auto lastSeen = updateCheck->lastSeen();
    if (upd::isNewer (lastSeen, product::kVersion))
    {
        availableRelease.version = lastSeen;
        updateAvailable = true;
        getHeaderBar().setSettingsBadge (! updateCheck->dontAsk());
    }
    startAutomaticCheck();
}

void Editor::startAutomaticCheck()
{
    if (updateCheck->dontAsk() || updateCheck->isThreadRunning())
        return;
    const auto last = updateCheck->lastCheck();
    const auto now = upd::Check::nowSeconds();
    if (last <= 0 || last > now || now - last > kAutomaticCheckSeconds)
    {
        updateCheck->setManual (false);
        updateCheck->startThread (juce::Thread::Priority::background);
    }
}

void Editor::checkForUpdatesNow()
{
    manualCheckPending = true;
    showUpdatePanel (UpdatePanel::looking, {});
    updateCheck->setManual (true);
    if (! updateCheck->isThreadRunning())
        updateCheck->startThread (juce::Thread::Priority::background);
}

void Editor::onUpdateOutcome (upd::Outcome outcome, const upd::Release& release)
{
    if (outcome == upd::Outcome::available)
    {
        availableRelease = release;
        updateAvailable = true;
        getHeaderBar().setSettingsBadge (! updateCheck->dontAsk());
    }
    else if (outcome == upd::Outcome::upToDate)
    {
        availableRelease = {};
        updateAvailable = false;
        getHeaderBar().setSettingsBadge (false);
    }

    if (! manualCheckPending)
        return;
    manualCheckPending = false;
    if (! updatePanel->isVisible())
        return;
    const int panelState = outcome == upd::Outcome::available  ? UpdatePanel::available
                           : outcome == upd::Outcome::upToDate ? UpdatePanel::upToDate
                                                               : UpdatePanel::noConnection;
    showUpdatePanel (panelState, release);
}

void Editor::showUpdatePanel (int panelState, const upd::Release& release)
{
    updatePanel->setDontAsk (updateCheck->dontAsk());
    if (! updatePanel->isVisible())
        focusBeforePanel = juce::Component::getCurrentlyFocusedComponent();
    setOverlay (updatePanel.get());
    updatePanel->setBounds (getBody().getBounds());
    updatePanel->setState (panelState);
    updatePanel->setRelease (release);
    updatePanel->setVisible (true);
    updatePanel->toFront (true);
    updatePanel->resized();
    updatePanel->repaint();
    if (updatePanel->isShowing())
        updatePanel->grabKeyboardFocus();
    refreshVeil();
}

void Editor::refreshVeil()
{
    auto& bar = getHeaderBar();
    headerVeil.setBounds (0, 0, bar.getWidth(), bar.getHeight());
    const bool show = updatePanel != nullptr && updatePanel->isVisible();
    headerVeil.setVisible (show);
    if (show)
        headerVeil.toFront (false);
}

void Editor::openLink (const juce::String& address) const
{
    if (address.isNotEmpty())
        juce::URL (address).launchInDefaultBrowser();
}

//==============================================================================
void Editor::addSettingsItems (juce::PopupMenu& menu)
{
    menu.addSeparator();
    if (updateAvailable)
    {
        const auto release = availableRelease;
        menu.addItem (textOf (texts->menuUpdateTo) + " " + release.version + " " + textOf ("\xe2\x80\xa6"),
                      [this, release] {
                          if (upd::sanitiseVersion (release.version).isNotEmpty() && release.installer.isNotEmpty())
                              showUpdatePanel (UpdatePanel::available, release);
                          else
                              checkForUpdatesNow();
                      });
    }
    menu.addItem (textOf (texts->menuCheckForUpdates), [this] { checkForUpdatesNow(); });
    menu.addSeparator();

    juce::PopupMenu languages;
    for (int index = 0; index < i18n::kNumLanguages; ++index)
    {
        juce::PopupMenu::Item item (textOf (i18n::tableFor (index).languageName));
        item.itemID = kLanguageMenuBase + index;
        item.isTicked = index == language;
        item.action = [this, index] { setLanguage (index); };
        languages.addItem (std::move (item));
    }
    menu.addSubMenu (textOf (texts->menuLanguage), languages);
}

void Editor::setLanguage (int index)
{
    language = juce::isPositiveAndBelow (index, i18n::kNumLanguages) ? index : 0;
    i18n::LanguageFile (processor.getUserDataFolder()).write (language);
    applyTexts();
    layoutControls();
}

//==============================================================================
void Editor::buildHelpTargets()
{
    const auto field = [this] (Field member) { return [this, member] { return textOf (texts->*member); }; };
    using T = i18n::Table;
    helpTargets = {
        { amountKnob.get(), field (&T::helpAmount) },
        { lowCutKnob.get(), field (&T::helpLowCut) },
        { highCutKnob.get(), field (&T::helpHighCut) },
        { freezeButton.get(), field (&T::helpFreeze) },
        { spectrum.get(), field (&T::helpSpectrum) },
        { attackKnob.get(), field (&T::helpAttack) },
        { releaseKnob.get(), field (&T::helpRelease) },
        { panKnob.get(), field (&T::helpPan) },
        { scAuditionButton.get(), field (&T::helpScAudition) },
        { smoothKnob.get(), field (&T::helpSmooth) },
        { modeSwitch.get(),
          [this] { return textOf (modeSwitch->getIsOn() ? texts->helpModeMS : texts->helpModeLR); } },
        { advancedButton.get(), field (&T::helpAdvanced) },
        { bypassSwitch.get(), field (&T::helpBypass) },
        { undoButton.get(), field (&T::helpUndo) },
    };
}

void Editor::applyTexts()
{
    texts = &i18n::tableFor (language);
    const auto& t = *texts;
    spectrum->setTexts (t);

    using T = i18n::Table;
    const std::tuple<vo::gui::Knob*, Field, Field> knobs[] = {
        { amountKnob.get(), &T::labelAmount, &T::tipAmount },
        { lowCutKnob.get(), &T::labelLowCut, &T::tipLowCut },
        { highCutKnob.get(), &T::labelHighCut, &T::tipHighCut },
        { panKnob.get(), &T::labelPan, &T::tipPan },
        { attackKnob.get(), &T::labelAttack, &T::tipAttack },
        { releaseKnob.get(), &T::labelRelease, &T::tipRelease },
        { smoothKnob.get(), &T::labelSmooth, &T::tipSmooth },
    };
    for (const auto& [knob, caption, tip] : knobs)
    {
        knob->setCaption (textOf (t.*caption));
        knob->setTooltip (textOf (t.*tip));
    }

    const std::pair<juce::Label*, Field> labels[] = {
        { &freezeLabel, &T::labelFreeze }, { &advancedLabel, &T::labelAdvanced },
        { &scAuditionLabel, &T::labelScAudition }, { &modeLabel, &T::labelMode },
        { &lrLabel, &T::labelLR }, { &msLabel, &T::labelMS },
    };
    for (const auto& [label, field] : labels)
        label->setText (textOf (t.*field), juce::dontSendNotification);

    const bool sectionShown = advancedSection != nullptr && advancedSection->isVisible();
    advancedSection = std::make_unique<vo::gui::SectionLabel> (textOf (t.labelAdvanced), theme);
    advancedSection->setInterceptsMouseClicks (false, false);
    getBody().addChildComponent (*advancedSection);
    advancedSection->setVisible (sectionShown);

    const std::pair<juce::Component*, Field> shortTips[] = {
        { freezeButton.get(), &T::tipFreeze },  { scAuditionButton.get(), &T::tipScAudition },
        { modeSwitch.get(), &T::tipMode },      { advancedButton.get(), &T::tipAdvanced },
        { undoButton.get(), &T::helpUndo },     { spectrum.get(), &T::tipSpectrum },
        { bypassSwitch.get(), &T::tipBypass },
    };
    for (const auto& [component, tip] : shortTips)
        component->getProperties().set (kTooltipProperty, textOf (t.*tip));

    updatePanel->setTexts (t);
    applyAccessibleNames();
}

// Tab walks the window in reading order: the header, then the content from
// the top, the advanced section last. Set once; the order knows no language.
void Editor::setFocusOrder()
{
    int position = 1;
    for (juce::Component* c : std::initializer_list<juce::Component*> {
             &getHeaderBar(), spectrum.get(), freezeButton.get(), amountKnob.get(), lowCutKnob.get(), highCutKnob.get(),
             advancedButton.get(), panKnob.get(), modeSwitch.get(), attackKnob.get(), releaseKnob.get(),
             smoothKnob.get(), scAuditionButton.get() })
        c->setExplicitFocusOrder (position++);
    // The widgets that are not buttons or sliders do not ask for it themselves.
    for (juce::Component* c : std::initializer_list<juce::Component*> { spectrum.get(), modeSwitch.get(),
                                                                         bypassSwitch.get() })
        c->setWantsKeyboardFocus (true);
}

// Screen readers announce each control by its caption in the current language.
void Editor::applyAccessibleNames()
{
    using T = i18n::Table;
    const auto& t = *texts;
    getHeaderBar().setTitle (product::kName);
    const std::pair<juce::Component*, Field> names[] = {
        { spectrum.get(), &T::tipSpectrum },          { freezeButton.get(), &T::labelFreeze },
        { amountKnob.get(), &T::labelAmount },         { lowCutKnob.get(), &T::labelLowCut },
        { highCutKnob.get(), &T::labelHighCut },       { advancedButton.get(), &T::labelAdvanced },
        { panKnob.get(), &T::labelPan },               { modeSwitch.get(), &T::labelMode },
        { attackKnob.get(), &T::labelAttack },         { releaseKnob.get(), &T::labelRelease },
        { smoothKnob.get(), &T::labelSmooth },         { scAuditionButton.get(), &T::labelScAudition },
        { bypassSwitch.get(), &T::tipBypass },         { undoButton.get(), &T::helpUndo },
    };
    for (const auto& [component, name] : names)
        component->setTitle (textOf (t.*name));
}

//==============================================================================
void Editor::placeByCentre (juce::Component& component, juce::Point<int> centre, int box)
{
    component.setBounds (juce::Rectangle<int> (box, box).withCentre (centre));
}

void Editor::layoutControls()
{
    setDesignHeight (advancedOpen ? kAdvancedHeight : kClosedHeight);
    const auto content = getBody().getLocalBounds();
    const int roundBox = juce::roundToInt (kRoundButtonDiameter) + kRoundMargin;
    const int lampBox = 32 + kRoundMargin;

    backdrop->setBounds (content);
    spectrum->setBounds (64, 20, 652, 190);
    freezeLabel.setBounds (6, 222, 100, 12);
    advancedLabel.setBounds (674, 222, 100, 12);
    placeByCentre (*freezeButton, { 56, 256 }, roundBox);
    placeByCentre (*advancedButton, { 724, 256 }, roundBox);
    amountKnob->setBounds (270, 218, 240, 280);
    amountKnob->setDiameter (210.0f);
    lowCutKnob->setBounds (93, 271, 134, 174);
    lowCutKnob->setDiameter (120.0f);
    highCutKnob->setBounds (553, 271, 134, 174);
    highCutKnob->setDiameter (120.0f);
    placeByCentre (*lowCutLamp, { 56, 353 }, lampBox);
    placeByCentre (*highCutLamp, { 724, 353 }, lampBox);

    advancedSection->setBounds (64, 540, 652, 16);
    panKnob->setBounds (58, 562, 66, 98);
    modeLabel.setBounds (164, 562, 100, 12);
    lrLabel.setBounds (164, 576, 100, 12);
    placeByCentre (*modeSwitch, { 214, 612 }, 44 + kRoundMargin);
    msLabel.setBounds (164, 636, 100, 12);
    attackKnob->setBounds (304, 562, 66, 98);
    releaseKnob->setBounds (410, 562, 66, 98);
    smoothKnob->setBounds (516, 562, 66, 98);
    scAuditionLabel.setBounds (622, 574, 100, 12);
    placeByCentre (*scAuditionButton, { 672, 606 }, roundBox);

    for (juce::Component* c : std::initializer_list<juce::Component*> {
             advancedSection.get(), panKnob.get(), &modeLabel, &lrLabel, modeSwitch.get(), &msLabel, attackKnob.get(),
             releaseKnob.get(), smoothKnob.get(), &scAuditionLabel, scAuditionButton.get() })
        c->setVisible (advancedOpen);

    updatePanel->setBounds (getBody().getBounds());
    refreshVeil();
}

void Editor::toggleAdvanced()
{
    advancedOpen = ! advancedOpen;
    advancedButton->setLit (advancedOpen, false);
    advancedButton->repaint();
    layoutControls();
}

//==============================================================================
void Editor::paintHeaderBackground (juce::Graphics& g, juce::Rectangle<int> area)
{
    {
        const juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (area);
        g.setOrigin (area.getX(), area.getY() + kHeaderHeight);
        backdrop->paint (g);
    }
    if (! wordmark.isValid())
        return;
    const float height = kWordmarkHeight;
    const float width = height * static_cast<float> (wordmark.getWidth()) / static_cast<float> (wordmark.getHeight());
    const float top = static_cast<float> (area.getHeight()) / 2.0f + 3.0f - height / 2.0f;
    wordmarkShadow.draw (g, wordmark, { static_cast<float> (area.getX() + kWordmarkX), top, width, height }, 0);
}

void Editor::undoFromButton()
{
    getHeaderBar().undoOrRedo (false);
    refreshUndoButton();
}

void Editor::refreshUndoButton()
{
    const bool now = processor.getStateManager().canUndo();
    if (now == canUndo)
        return;
    canUndo = now;
    undoButton->setEnabled (canUndo);
}

void Editor::refreshLamps (bool immediately)
{
    const bool lowLit = lowCutParam != nullptr && normalised (*lowCutParam) > kLowCutLitAbove;
    const bool highLit = highCutParam != nullptr && normalised (*highCutParam) < kHighCutLitBelow;
    lowCutLamp->setLit (lowLit, immediately);
    highCutLamp->setLit (highLit, immediately);
}

//==============================================================================
juce::String Editor::headerButtonHelp (const juce::Button* button) const
{
    if (button == nullptr)
        return {};
    const auto& t = *texts;
    if (button->getName() == "help")
        return textOf (t.helpHelp);
    if (button->getName() == "settings")
        return textOf (t.helpSettings);
    if (button->getButtonText() == "<")
        return textOf (t.helpPresetBack);
    if (button->getButtonText() == ">")
        return textOf (t.helpPresetNext);
    return textOf (t.helpPresetList);
}

juce::String Editor::helpTextFor (juce::Component* under) const
{
    if (under == nullptr || (under != this && ! isParentOf (under)))
        return {};
    const juce::Button* firstButton = nullptr;
    for (auto* c = under; c != nullptr && c != this; c = c->getParentComponent())
    {
        for (const auto& target : helpTargets)
            if (target.component == c)
                return target.text();
        if (firstButton == nullptr)
            firstButton = dynamic_cast<const juce::Button*> (c);
        if (c == &getHeaderBar())
            return headerButtonHelp (firstButton);
    }
    return {};
}

void Editor::refreshHelp (juce::Component* under)
{
    auto help = helpTextFor (under);
    const bool helpMode = getTooltipLayer().isHelpMode();
    if (help.isEmpty() && helpMode)
        help = textOf (texts->summary);
    spectrum->setHelp (help, helpMode);
}

void Editor::onTick()
{
    refreshHelp (juce::Desktop::getInstance().getMainMouseSource().getComponentUnderMouse());
    refreshLamps (false);
    lowCutLamp->stepGlow();
    highCutLamp->stepGlow();
    freezeButton->stepGlow();
    advancedButton->stepGlow();
    scAuditionButton->stepGlow();
    refreshUndoButton();
}

} // namespace vo::plugins::zel
