#include "HeaderBar.h"

#include "DisplayScale.h"
#include "EmbeddedImage.h"
#include "Fonts.h"
#include "i18n/Translate.h"

#include <cmath>

namespace vo::gui
{

namespace
{

// Standard layout.
constexpr int kEdgeReserve = 24;
constexpr int kButtonBudget = 172;
constexpr int kButtonRowStart = 12;
constexpr int kRowInset = 14;
constexpr int kSettingsWidth = 28;
constexpr int kHelpWidth = 28;
constexpr int kHistoryWidth = 22;
constexpr int kSlotSide = 24;
constexpr int kPresetRowHeight = 28;
constexpr int kPresetArrowWidth = 22;
constexpr int kPresetNameGap = 3;
constexpr int kPresetGroupLimit = 330;
constexpr int kMiddleReserve = 186;
constexpr int kRightComponentSlack = 60;

// Compact layout.
constexpr int kCompactRowInset = 10;
constexpr int kCompactHistoryHeight = 28;
constexpr int kCompactSlotWidth = 22;
constexpr int kCompactSlotHeight = 26;
constexpr int kMinimumNameArea = 60;

// Brand.
constexpr int kWideHeader = 540;
constexpr float kMarkWidth = 15.6f;
constexpr float kMarkHeight = 20.0f;
constexpr float kMarkGap = 8.0f;
constexpr float kMarkReserve = 24.0f;
constexpr float kLogoGap = 8.0f;
constexpr float kSeparatorDistance = 14.0f;
constexpr float kSeparatorReserve = 15.5f;
constexpr float kSeparatorWidth = 1.5f;
constexpr float kSeparatorHeight = 26.0f;
constexpr float kRescaleTolerance = 0.01f;
constexpr int kMinimumTitleRoom = 30;

// Icon buttons.
constexpr float kArcRadiusFactor = 0.26f;
constexpr float kArcFrom = 0.6f;
constexpr float kArcTo = 4.869469f;
constexpr float kArcStroke = 1.6f;
constexpr float kBadgeDisc = 10.0f;
constexpr float kBadgeDot = 8.0f;

constexpr int kMenuMinimumWidth = 200;
constexpr int kWindowPercents[] = { 100, 125, 150, 200 };
constexpr float kWindowSizeTickTolerance = 0.04f;

// Menu item ids: each group gets its own range.
enum MenuId
{
    kUndoId = 1,
    kRedoId,
    kSlotAId,
    kSlotBId,
    kWebsiteId,
    kSupportId,
    kLanguageBaseId = 100,
    kWindowSizeBaseId = 200
};

juce::Font boldDisplay (float height)
{
    return displayFont (height).boldened();
}

float widthAtHeight (const juce::Image& image, float height)
{
    return image.isValid() && image.getHeight() > 0 ? height * (float) image.getWidth() / (float) image.getHeight() : 0.0f;
}

// Fills a rectangle leftwards from a right edge within a budget: each piece
// takes what it asks for, as far as the budget still allows.
struct RightToLeft
{
    int right;
    int budget;

    juce::Rectangle<int> take (int width, int y, int height)
    {
        const int w = juce::jlimit (0, juce::jmax (0, budget), width);
        right -= w;
        budget -= w;
        return { right, y, w, height };
    }

    void skip (int gap)
    {
        const int g = juce::jmin (gap, juce::jmax (0, budget));
        right -= g;
        budget -= g;
    }
};

juce::Path gearOutline (juce::Point<float> centre, float radius)
{
    constexpr int kTeeth = 8;
    const float outer = radius;
    const float inner = radius * 0.74f;
    juce::Path gear;
    for (int i = 0; i < kTeeth * 4; ++i)
    {
        const float angle = juce::MathConstants<float>::twoPi * (float) i / (float) (kTeeth * 4);
        const float r = (i % 4 == 1 || i % 4 == 2) ? outer : inner;
        const juce::Point<float> p (centre.x + r * std::sin (angle), centre.y - r * std::cos (angle));
        if (i == 0)
            gear.startNewSubPath (p);
        else
            gear.lineTo (p);
    }
    gear.closeSubPath();
    gear.addEllipse (centre.x - radius * 0.32f, centre.y - radius * 0.32f, radius * 0.64f, radius * 0.64f);
    return gear;
}

std::unique_ptr<juce::Drawable> menuIcon (const juce::Path& shape, juce::Colour colour)
{
    auto icon = std::make_unique<juce::DrawablePath>();
    icon->setPath (shape);
    icon->setFill (juce::FillType());
    icon->setStrokeFill (colour);
    icon->setStrokeType (juce::PathStrokeType (1.2f));
    return icon;
}

juce::Path globeShape()
{
    juce::Path p;
    p.addEllipse (1.0f, 1.0f, 12.0f, 12.0f);
    p.addEllipse (4.5f, 1.0f, 5.0f, 12.0f);
    p.startNewSubPath (1.0f, 7.0f);
    p.lineTo (13.0f, 7.0f);
    return p;
}

juce::Path envelopeShape()
{
    juce::Path p;
    p.addRectangle (1.0f, 3.0f, 12.0f, 8.5f);
    p.startNewSubPath (1.0f, 3.0f);
    p.lineTo (7.0f, 8.0f);
    p.lineTo (13.0f, 3.0f);
    return p;
}

} // namespace

//==============================================================================
HeaderBar::IconButton::IconButton (Kind buttonKind, const Theme& themeToUse)
    : juce::Button (buttonKind == Kind::Undo   ? "undo"
                    : buttonKind == Kind::Redo ? "redo"
                    : buttonKind == Kind::Help ? "help"
                                               : "settings"),
      kind (buttonKind),
      theme (&themeToUse)
{
}

juce::Rectangle<float> HeaderBar::IconButton::circleBounds() const
{
    const int inset = (isRound() && skin != nullptr) ? skin->ringInset() : 0;
    const float d = juce::jmax (0.0f, (float) juce::jmin (getWidth(), getHeight()) - 2.0f - 2.0f * (float) inset);
    return juce::Rectangle<float> (d, d).withCentre (getLocalBounds().toFloat().getCentre());
}

bool HeaderBar::IconButton::hitTest (int x, int y)
{
    if (! (isRound() && skin != nullptr))
        return true;
    const auto circle = circleBounds();
    const float reach = juce::jmax (2.0f, circle.getWidth() / 2.0f);
    return circle.getCentre().getDistanceFrom ({ (float) x + 0.5f, (float) y + 0.5f }) <= reach;
}

void HeaderBar::IconButton::paintButton (juce::Graphics& g, bool highlighted, bool down)
{
    const auto circle = circleBounds();
    if (isRound())
    {
        if (skin != nullptr)
            skin->paintButton (g, circle, down, highlighted);
        else
        {
            g.setColour (down ? theme->accentSoft : theme->surface);
            g.fillEllipse (circle);
            g.setColour (highlighted ? theme->labelText : theme->outline);
            g.drawEllipse (circle.reduced (0.5f), 1.0f);
        }
    }

    const bool enabled = isEnabled() && (getParentComponent() == nullptr || getParentComponent()->isEnabled());
    const auto glyph = ! enabled ? theme->textDim : highlighted ? theme->text : theme->labelText;

    switch (kind)
    {
        case Kind::Undo:
        case Kind::Redo: drawHistoryArrow (g, circle, glyph); break;
        case Kind::Help:
            g.setColour (glyph);
            g.setFont (displayFont (juce::jmax (0.55f * circle.getWidth(), 11.0f)));
            g.drawText ("?", circle, juce::Justification::centred, false);
            break;
        case Kind::Settings:
            drawGear (g, circle, glyph);
            if (badge)
                drawBadge (g, circle);
            break;
    }
}

// Angles run clockwise from twelve o'clock; the redo arrow is the undo arrow mirrored.
void HeaderBar::IconButton::drawHistoryArrow (juce::Graphics& g, juce::Rectangle<float> circle, juce::Colour colour) const
{
    const float sign = kind == Kind::Redo ? -1.0f : 1.0f;
    const auto centre = circle.getCentre();
    const float radius = kArcRadiusFactor * circle.getWidth();
    const float from = sign * kArcFrom;
    const float to = sign * kArcTo;

    juce::Path arc;
    arc.addCentredArc (centre.x, centre.y, radius, radius, 0.0f, from, to, true);
    g.setColour (colour);
    g.strokePath (arc, juce::PathStrokeType (kArcStroke, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

    const juce::Point<float> tip (centre.x + radius * std::sin (from), centre.y - radius * std::cos (from));
    juce::Path head;
    head.addTriangle (tip.x - 2.6f, tip.y - 1.2f, tip.x + 2.6f, tip.y - 1.2f, tip.x, tip.y + 3.0f);
    g.fillPath (head);
}

void HeaderBar::IconButton::drawGear (juce::Graphics& g, juce::Rectangle<float> circle, juce::Colour colour) const
{
    g.setColour (colour);
    g.strokePath (gearOutline (circle.getCentre(), circle.getWidth() * 0.28f), juce::PathStrokeType (1.3f));
}

void HeaderBar::IconButton::drawBadge (juce::Graphics& g, juce::Rectangle<float> circle) const
{
    const float offset = circle.getWidth() * 0.5f * juce::MathConstants<float>::sqrt2 * 0.5f;
    const juce::Point<float> at (circle.getCentreX() + offset, circle.getCentreY() - offset);
    g.setColour (theme->barBackground);
    g.fillEllipse (juce::Rectangle<float> (kBadgeDisc, kBadgeDisc).withCentre (at));
    g.setColour (theme->accentLine);
    g.fillEllipse (juce::Rectangle<float> (kBadgeDot, kBadgeDot).withCentre (at));
}

//==============================================================================
HeaderBar::PresetLookAndFeel::PresetLookAndFeel (const Theme& themeToUse, HeaderBar& headerBar)
    : LookAndFeel (themeToUse), owner (&headerBar)
{
}

void HeaderBar::PresetLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                                         const juce::Colour& backgroundColour, bool highlighted,
                                                         bool down)
{
    auto* skin = owner->getPresetSkin();
    if (skin == nullptr)
    {
        LookAndFeel::drawButtonBackground (g, button, backgroundColour, highlighted, down);
        return;
    }

    const auto bounds = button.getLocalBounds().toFloat();
    if (owner->isPreviousButton (button))
        skin->drawArrow (g, bounds, -1, down, highlighted);
    else if (owner->isNextButton (button))
        skin->drawArrow (g, bounds, +1, down, highlighted);
    else
        skin->drawNameBackground (g, bounds, down, highlighted);
}

void HeaderBar::PresetLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool highlighted,
                                                   bool down)
{
    auto* skin = owner->getPresetSkin();
    const bool isArrow = owner->isPreviousButton (button) || owner->isNextButton (button);
    if (skin != nullptr && skin->drawsArrowText (g, button, highlighted) && isArrow)
        return;
    LookAndFeel::drawButtonText (g, button, highlighted, down);
}

//==============================================================================
HeaderBar::HeaderBar (core::ProcessorBase& processorToUse, const Theme& themeToUse)
    : processor (processorToUse),
      theme (themeToUse),
      undoButton (IconButton::Kind::Undo, theme),
      redoButton (IconButton::Kind::Redo, theme),
      helpButton (IconButton::Kind::Help, theme),
      settingsButton (IconButton::Kind::Settings, theme)
{
    makerLogo = embeddedImage ("logomoon.png");
    if (! makerLogo.isValid())
        makerLogo = embeddedImage ("logoblack.png");

    for (auto* b : std::initializer_list<juce::Component*> { &previousButton, &nextButton, &nameButton, &slotAButton,
                                                             &slotBButton, &undoButton, &redoButton, &helpButton,
                                                             &settingsButton })
        addAndMakeVisible (b);
    wireButtons();

    processor.getPresetManager().addChangeListener (this);
    refresh();
    startTimer (kRefreshIntervalMs);
}

HeaderBar::~HeaderBar()
{
    stopTimer();
    processor.getPresetManager().removeChangeListener (this);
    for (auto* b : { &previousButton, &nextButton, &nameButton })
        b->setLookAndFeel (nullptr);
}

void HeaderBar::wireButtons()
{
    auto& presets = processor.getPresetManager();
    previousButton.onClick = [&presets] { presets.loadAdjacentPreset (-1); };
    nextButton.onClick = [&presets] { presets.loadAdjacentPreset (+1); };
    nameButton.onClick = [this] { if (onPresetNameClicked) onPresetNameClicked(); };
    slotAButton.onClick = [this] { selectSlot (0); };
    slotBButton.onClick = [this] { selectSlot (1); };
    undoButton.onClick = [this] { undoOrRedo (false); };
    redoButton.onClick = [this] { undoOrRedo (true); };
    helpButton.onClick = [this] { if (onHelpClicked) onHelpClicked(); };
    settingsButton.onClick = [this] { showSettingsMenu(); };
}

bool HeaderBar::undoOrRedo (bool redo)
{
    auto& state = processor.getStateManager();
    const bool done = redo ? state.redo() : state.undo();
    if (done)
        refresh();
    return done;
}

//==============================================================================
void HeaderBar::setLogo (const juce::Image& image, float height)
{
    logo = image;
    logoHeight = height;
    logoScale = 0.0f;
    resized();
    repaint();
}

void HeaderBar::setLeftComponent (juce::Component* component, int size)
{
    if (leftComponent != nullptr && leftComponent != component)
        removeChildComponent (leftComponent);
    leftComponent = component;
    leftSize = juce::jmax (0, size);
    if (component != nullptr)
        addAndMakeVisible (component);
    resized();
}

void HeaderBar::setRightComponent (juce::Component* component, int width, int gap)
{
    if (rightComponent != nullptr && rightComponent != component)
        removeChildComponent (rightComponent);
    rightComponent = component;
    rightWidth = juce::jmax (0, width);
    rightGap = juce::jmax (-64, gap);
    if (component != nullptr)
        addAndMakeVisible (component);
    resized();
}

void HeaderBar::setCentreComponent (juce::Component* component, int size, int gap)
{
    if (centreComponent != nullptr && centreComponent.getComponent() != component)
        removeChildComponent (centreComponent.getComponent());
    centreComponent = component;
    centreSize = juce::jmax (0, size);
    centreGap = gap;
    if (component != nullptr)
        addAndMakeVisible (component);
    resized();
}

void HeaderBar::setPresetSkin (PresetSkin* skin)
{
    presetSkin = skin;
    if (skin != nullptr && presetLookAndFeel == nullptr)
        presetLookAndFeel = std::make_unique<PresetLookAndFeel> (theme, *this);
    for (auto* b : { &previousButton, &nextButton, &nameButton })
        b->setLookAndFeel (skin != nullptr ? presetLookAndFeel.get() : nullptr);
    repaint();
}

void HeaderBar::setIconSkin (IconSkin* skin)
{
    for (auto* b : { &helpButton, &settingsButton })
    {
        b->setSkin (skin);
        b->repaint();
    }
}

void HeaderBar::setSettingsBadge (bool on)
{
    if (on == settingsBadge)
        return;
    settingsBadge = on;
    settingsButton.setBadge (on);
    settingsButton.repaint();
}

//==============================================================================
juce::String HeaderBar::presetNameWithMarker() const
{
    auto& presets = processor.getPresetManager();
    auto name = presets.getCurrentPresetName();
    if (name.isEmpty())
        name = "default";

    const auto& snapshot = presets.getValueSnapshot();
    for (auto* p : processor.getParameters())
    {
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (p);
        if (ranged == nullptr)
            continue;
        const auto stored = snapshot.find (ranged->getParameterID());
        if (stored != snapshot.end() && std::abs (ranged->getValue() - stored->second) > kChangedThreshold)
            return name + kChangedMarker;
    }
    return name;
}

void HeaderBar::refresh()
{
    auto& state = processor.getStateManager();
    nameButton.setButtonText (presetNameWithMarker());
    slotAButton.setToggleState (state.getCurrentSlot() == 0, juce::dontSendNotification);
    slotBButton.setToggleState (state.getCurrentSlot() == 1, juce::dontSendNotification);
    undoButton.setEnabled (state.canUndo());
    redoButton.setEnabled (state.canRedo());
}

void HeaderBar::selectSlot (int slot)
{
    processor.getStateManager().switchToSlot (slot);
    refresh();
}

//==============================================================================
juce::PopupMenu HeaderBar::buildSettingsMenu()
{
    juce::PopupMenu menu;
    const auto wrapper = juce::String (juce::AudioProcessor::getWrapperTypeDescription (processor.wrapperType));
    const juce::String separator = juce::String::fromUTF8 ("  \xc2\xb7  ");
    menu.addSectionHeader (processor.getName() + separator + "v" + processor.getVersion() + separator + wrapper);

    if (infoLine.isNotEmpty())
        menu.addItem (juce::PopupMenu::Item (infoLine).setEnabled (false));

    if (historyInMenu)
    {
        auto& state = processor.getStateManager();
        menu.addSeparator();
        menu.addItem (juce::PopupMenu::Item ("undo").setID (kUndoId).setEnabled (state.canUndo()).setAction ([this] { undoOrRedo (false); }));
        menu.addItem (juce::PopupMenu::Item ("redo").setID (kRedoId).setEnabled (state.canRedo()).setAction ([this] { undoOrRedo (true); }));
        menu.addSeparator();
        menu.addItem (juce::PopupMenu::Item ("slot a").setID (kSlotAId).setTicked (state.getCurrentSlot() == 0).setAction ([this] { selectSlot (0); }));
        menu.addItem (juce::PopupMenu::Item ("slot b").setID (kSlotBId).setTicked (state.getCurrentSlot() == 1).setAction ([this] { selectSlot (1); }));
    }

    if (onLanguageChosen)
    {
        menu.addSeparator();
        menu.addSectionHeader (i18n::translate (language, "language"));
        for (const auto lang : { i18n::Lang::English, i18n::Lang::German, i18n::Lang::Turkish })
            menu.addItem (juce::PopupMenu::Item (i18n::languageName (lang))
                              .setID (kLanguageBaseId + static_cast<int> (lang))
                              .setTicked (lang == language)
                              .setAction ([this, lang] { if (onLanguageChosen) onLanguageChosen (lang); }));
    }

    addWindowSizeItems (menu);
    addInfoItems (menu);
    addMakerItems (menu);

    if (extendSettingsMenu)
        extendSettingsMenu (menu);
    return menu;
}

void HeaderBar::addWindowSizeItems (juce::PopupMenu& menu)
{
    menu.addSeparator();
    menu.addSectionHeader (i18n::translate (language, "window size"));
    const float scale = processor.getStateManager().getEditorScale();
    for (const int percent : kWindowPercents)
    {
        const float chosen = (float) percent / 100.0f;
        menu.addItem (juce::PopupMenu::Item (juce::String (percent) + " %")
                          .setID (kWindowSizeBaseId + percent)
                          .setTicked (std::abs (scale - chosen) < kWindowSizeTickTolerance)
                          .setAction ([this, chosen] { if (onWindowSizeChosen) onWindowSizeChosen (chosen); }));
    }
}

void HeaderBar::addInfoItems (juce::PopupMenu& menu)
{
    menu.addSeparator();
    menu.addSectionHeader (i18n::translate (language, "info"));
    const int latency = processor.getLatencySamples();
    auto line = i18n::translate (language, "latency") + ": " + juce::String (latency) + " " + i18n::translate (language, "samples");
    const double sampleRate = processor.getSampleRate();
    if (sampleRate > 0.0)
        line << "  (" << juce::String ((double) latency * 1000.0 / sampleRate, 2) << " ms)";
    menu.addItem (juce::PopupMenu::Item (line).setEnabled (false));
}

void HeaderBar::addMakerItems (juce::PopupMenu& menu)
{
    if (maker.website.isNotEmpty())
    {
        const auto site = maker.website;
        menu.addItem (juce::PopupMenu::Item (site.fromFirstOccurrenceOf ("://", false, false))
                          .setID (kWebsiteId)
                          .setImage (menuIcon (globeShape(), theme.labelText))
                          .setAction ([site] { juce::URL (site).launchInDefaultBrowser(); }));
    }
    if (maker.supportEmail.isNotEmpty())
    {
        const auto mail = maker.supportEmail;
        menu.addItem (juce::PopupMenu::Item (i18n::translate (language, "support") + ": " + mail)
                          .setID (kSupportId)
                          .setImage (menuIcon (envelopeShape(), theme.labelText))
                          .setAction ([mail] { juce::URL ("mailto:" + mail).launchInDefaultBrowser(); }));
    }
}

void HeaderBar::showSettingsMenu()
{
    auto menu = buildSettingsMenu();
    menu.setLookAndFeel (&getLookAndFeel());
    menu.showMenuAsync (juce::PopupMenu::Options()
                            .withTargetComponent (&settingsButton)
                            .withMinimumWidth (kMenuMinimumWidth));
}

//==============================================================================
float HeaderBar::titleFontHeight() const
{
    return getWidth() >= kWideHeader ? 20.0f : 17.0f;
}

juce::String HeaderBar::titleText() const
{
    return title.isNotEmpty() ? title : processor.getName();
}

int HeaderBar::brandWidth() const
{
    const auto badgeWidth = [] (const Badge& b) { return b.image.isValid() ? std::ceil (widthAtHeight (b.image, b.height) + b.gap) : 0.0f; };

    if (logo.isValid())
    {
        float width = (float) brandPadding + std::ceil (widthAtHeight (logo, logoHeight) + kLogoGap);
        if (showMark)
            width += kMarkReserve;
        width += badgeWidth (leadingBadge);
        if (trailingBadge.image.isValid())
            width += std::ceil (widthAtHeight (trailingBadge.image, trailingBadge.height) + trailingBadge.gap + kSeparatorReserve);
        return (int) width;
    }

    const float textWidth = boldDisplay (titleFontHeight()).getStringWidthFloat (titleText());
    if (textTitle)
        return brandPadding + (int) badgeWidth (leadingBadge) + (int) std::ceil (juce::jmin (textWidth + 12.0f, 168.0f));

    const float makerLogoHeight = getWidth() >= kWideHeader ? 24.0f : 20.0f;
    return (int) std::ceil (makerLogoHeight * 0.89f + 16.0f) + (int) std::ceil (juce::jmin (textWidth + 4.0f, 160.0f)) + 11;
}

void HeaderBar::resized()
{
    if (historyInMenu || leftComponent != nullptr)
        layoutCompact();
    else
        layoutStandard();
}

void HeaderBar::layoutStandard()
{
    const int W = getWidth(), H = getHeight(), v = verticalInset;
    const int rowY = 2 * v + kRowInset;
    const int rowH = juce::jmax (H - 2 * v - 2 * kRowInset, 0);
    const int budget = juce::jmin (W - kEdgeReserve, kButtonBudget);
    const int x0 = W - kEdgeReserve - budget + kButtonRowStart;

    RightToLeft row { x0 + budget, budget };
    settingsButton.setBounds (row.take (juce::jmin (budget, kSettingsWidth), rowY, rowH));
    row.skip (3);
    helpButton.setBounds (row.take (kHelpWidth, rowY, rowH));
    row.skip (8);
    redoButton.setBounds (row.take (kHistoryWidth, rowY, rowH));
    undoButton.setBounds (row.take (kHistoryWidth, rowY, rowH));
    row.skip (8);
    const int slotY = rowY + (rowH - kSlotSide) / 2;
    slotBButton.setBounds (row.take (kSlotSide, slotY, kSlotSide));
    row.skip (4);
    slotAButton.setBounds (row.take (kSlotSide, slotY, kSlotSide));

    const int brand = brandWidth();
    int middleWidth = W - brand - kMiddleReserve;
    if (middleWidth < kMiddleReserve)
        middleWidth = 0;
    const juce::Rectangle<int> middle (brand, v, middleWidth, juce::jmax (H - 2 * v, 0));

    const int centre = centreComponent != nullptr ? centreSize + centreGap : 0;
    int right = 0;
    if (rightComponent != nullptr && rightWidth > 0)
        right = juce::jmax (0, juce::jmin (rightWidth, middleWidth - centre - rightGap - kRightComponentSlack)) + rightGap;
    const int group = juce::jmax (0, juce::jmin (middleWidth - centre - right, kPresetGroupLimit)) + centre + right;
    placePresetGroup (middle, group, kPresetRowHeight, kPresetArrowWidth, kPresetNameGap);
}

void HeaderBar::layoutCompact()
{
    const int W = getWidth(), H = getHeight(), v = verticalInset;
    const int e = juce::jmax (H - 2 * v - 20, 0);
    const auto rowTop = [&] (int height) { return 2 * v + (e - height) / 2 + kCompactRowInset; };

    int x = W - sideMargin;
    const auto placeLeftOf = [&x] (juce::Component& c, int width, int y, int height) {
        x -= width;
        c.setBounds (x, y, width, height);
    };

    placeLeftOf (settingsButton, buttonSize, rowTop (buttonSize), buttonSize);
    x -= buttonGap;
    placeLeftOf (helpButton, buttonSize, rowTop (buttonSize), buttonSize);
    if (leftComponent != nullptr)
    {
        x -= leftGap;
        placeLeftOf (*leftComponent, leftSize, rowTop (leftSize), leftSize);
    }
    if (! historyInMenu)
    {
        x -= 8;
        placeLeftOf (redoButton, kHistoryWidth, rowTop (kCompactHistoryHeight), kCompactHistoryHeight);
        placeLeftOf (undoButton, kHistoryWidth, rowTop (kCompactHistoryHeight), kCompactHistoryHeight);
        x -= 8;
        placeLeftOf (slotBButton, kCompactSlotWidth, rowTop (kCompactSlotHeight), kCompactSlotHeight);
        x -= 2;
        placeLeftOf (slotAButton, kCompactSlotWidth, rowTop (kCompactSlotHeight), kCompactSlotHeight);
    }

    const int brand = brandWidth();
    const juce::Rectangle<int> middle (brand, 2 * v, juce::jmax (0, x - rightReserve - brand), juce::jmax (H - 2 * v, 0));
    const int centre = centreComponent != nullptr ? centreSize + centreGap : 0;
    int right = 0;
    if (rightComponent != nullptr && rightWidth > 0)
        right = juce::jmax (0, juce::jmin (rightWidth, middle.getWidth() - centre - rightGap - kRightComponentSlack)) + rightGap;
    const int fullGroup = nameWidth + 2 * arrowWidth + 2 * innerGap;
    const int group = juce::jmin (juce::jmax (middle.getWidth() - centre - right, kMinimumNameArea), fullGroup) + centre + right;
    placePresetGroup (middle, group, rowHeight, arrowWidth, innerGap);
}

// "<" name [centre] ">" [right], centred in the middle area.
void HeaderBar::placePresetGroup (juce::Rectangle<int> middle, int groupWidth, int rowH, int arrowW, int gap)
{
    auto area = juce::Rectangle<int> (groupWidth, rowH).withCentre (middle.getCentre());
    if (rightComponent != nullptr)
    {
        const int width = rightWidth > 0 ? juce::jmax (0, juce::jmin (rightWidth, area.getWidth())) : 0;
        rightComponent->setBounds (area.removeFromRight (width));
        area.removeFromRight (juce::jmin (juce::jmax (rightGap, 0), area.getWidth()));
    }
    previousButton.setBounds (area.removeFromLeft (arrowW));
    nextButton.setBounds (area.removeFromRight (arrowW));
    area.reduce (gap, 0);
    if (centreComponent != nullptr)
    {
        const auto square = area.removeFromRight (centreSize);
        centreComponent->setBounds (square.withSizeKeepingCentre (centreSize, centreSize));
        area.removeFromRight (juce::jmin (centreGap, area.getWidth()));
    }
    nameButton.setBounds (area);
}

//==============================================================================
void HeaderBar::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds();
    if (paintBackground)
        paintBackground (g, bounds);
    else
    {
        g.fillAll (theme.barBackground);
        grain.draw (g, bounds, theme.grainOpacity, kGrainSeed);
        g.setColour (theme.hairline);
        g.fillRect (0, getHeight() - 1, getWidth(), 1);
    }
    paintBrand (g);
}

void HeaderBar::drawImageCentred (juce::Graphics& g, const juce::Image& image, juce::Image& scaled, float& scaledFor,
                                  float x, float height, juce::Colour tint, bool tinted)
{
    const float scale = DisplayScale::of (g);
    const float width = widthAtHeight (image, height);
    if (! scaled.isValid() || std::abs (scale - scaledFor) > kRescaleTolerance)
    {
        scaled = image.rescaled (DisplayScale::pixels (width, scale), DisplayScale::pixels (height, scale),
                                 juce::Graphics::highResamplingQuality);
        scaledFor = scale;
    }
    const float y = (float) getHeight() / 2.0f + (float) verticalInset - height / 2.0f;
    const juce::Rectangle<float> target (x, y, width, height);
    if (tinted)
    {
        g.setColour (tint);
        g.drawImage (scaled, target, juce::RectanglePlacement::stretchToFit, true);
    }
    else
        g.drawImage (scaled, target);
}

float HeaderBar::drawBadge (juce::Graphics& g, Badge& badge, juce::Image& scaled, float& scaledFor, float x)
{
    if (! badge.image.isValid())
        return x;
    drawImageCentred (g, badge.image, scaled, scaledFor, x, badge.height, badge.tint, true);
    return x + widthAtHeight (badge.image, badge.height) + badge.gap;
}

void HeaderBar::drawMark (juce::Graphics& g, float x)
{
    const float y = (float) getHeight() / 2.0f + (float) verticalInset - kMarkHeight / 2.0f;
    juce::Path left, right;
    left.addTriangle (x, y + kMarkHeight, x + kMarkWidth * 0.5f, y, x + kMarkWidth * 0.62f, y + kMarkHeight * 0.35f);
    right.addTriangle (x + kMarkWidth * 0.38f, y + kMarkHeight, x + kMarkWidth, y + kMarkHeight * 0.2f,
                       x + kMarkWidth * 0.7f, y + kMarkHeight);
    g.setColour (theme.markColour);
    g.fillPath (left);
    g.setColour (theme.markHighlight);
    g.fillPath (right);
}

void HeaderBar::paintBrand (juce::Graphics& g)
{
    const auto titleColour = theme.titleText.isTransparent() ? theme.text : theme.titleText;
    float x = (float) brandPadding;

    if (logo.isValid())
    {
        x = drawBadge (g, leadingBadge, scaledLeadingBadge, leadingScale, x);
        drawImageCentred (g, logo, scaledLogo, logoScale, x, logoHeight, {}, false);
        x += widthAtHeight (logo, logoHeight);
        if (showMark)
        {
            drawMark (g, x + kMarkGap);
            x += kMarkGap + kMarkWidth;
        }
        if (trailingBadge.image.isValid())
        {
            x += kSeparatorDistance;
            const float lineY = (float) getHeight() / 2.0f + (float) verticalInset - kSeparatorHeight / 2.0f;
            g.setColour (theme.labelText.withAlpha (0.55f));
            g.fillRoundedRectangle (x, lineY, kSeparatorWidth, kSeparatorHeight, kSeparatorWidth / 2.0f);
            x += kSeparatorWidth + trailingBadge.gap;
            drawBadge (g, trailingBadge, scaledTrailingBadge, trailingScale, x);
        }
        return;
    }

    const float fontHeight = titleFontHeight();
    if (textTitle)
    {
        x = drawBadge (g, leadingBadge, scaledLeadingBadge, leadingScale, x);
        g.setColour (titleColour);
        g.setFont (boldDisplay (fontHeight));
        g.drawText (titleText(), juce::Rectangle<float> (x, 0.0f, (float) brandWidth() - x, (float) getHeight()),
                    juce::Justification::centredLeft, true);
        return;
    }

    paintMakerBrand (g, titleColour, fontHeight);
}

void HeaderBar::paintMakerBrand (juce::Graphics& g, juce::Colour titleColour, float fontHeight)
{
    const bool wide = getWidth() >= kWideHeader;
    if (makerLogo.isValid())
    {
        const float height = wide ? 24.0f : 20.0f;
        drawImageCentred (g, makerLogo, scaledLogo, logoScale, 16.0f, height, {}, false);
        const float textX = 16.0f + widthAtHeight (makerLogo, height) + kLogoGap;
        const float room = (float) brandWidth() - textX;
        if (room > (float) kMinimumTitleRoom)
        {
            g.setColour (titleColour);
            g.setFont (boldDisplay (fontHeight));
            g.drawText (titleText(), juce::Rectangle<float> (textX, 0.0f, room, (float) getHeight()),
                        juce::Justification::centredLeft, true);
        }
        return;
    }

    const float markSize = 14.0f;
    const float markY = (float) getHeight() / 2.0f + (float) verticalInset - markSize / 2.0f;
    g.setColour (theme.accentLine);
    g.drawEllipse (16.0f, markY, markSize, markSize, 2.0f);
    g.setColour (titleColour);
    g.setFont (displayFont (wide ? 18.0f : 16.0f));
    g.drawText (titleText(), juce::Rectangle<float> (44.0f, 0.0f, wide ? 190.0f : 100.0f, (float) getHeight()),
                juce::Justification::centredLeft, true);
}

} // namespace vo::gui
