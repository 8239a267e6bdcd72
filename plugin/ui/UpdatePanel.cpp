#include "UpdatePanel.h"

#include "i18n/Tables.h"

#include <cstdint>
#include <vector>

namespace vo::plugins::zel
{

namespace
{

constexpr int kMaxCardWidth = 480;
constexpr int kMaxCardHeight = 170;
constexpr int kMargin = 16;
constexpr int kPadX = 20;
constexpr int kPadY = 16;
constexpr int kButtonRow = 28;
constexpr int kButtonGap = 6;
constexpr int kToggleRow = 36;
constexpr int kToggleGap = 4;
constexpr int kTitleRow = 20;
constexpr int kTitleGap = 8;

constexpr int kAskWidth = 36;
constexpr float kAskDiameter = 20.0f;

constexpr float kScrimAlpha = 0.82f;
constexpr float kCardRadius = 10.0f;
constexpr float kOutlineWidth = 1.0f;
constexpr float kTitleHeight = 15.0f;
constexpr float kMessageHeight = 12.0f;
constexpr float kToggleTextHeight = 11.0f;
constexpr int kMessageLines = 3;
constexpr float kMessageMinScale = 0.85f;

} // namespace

UpdatePanel::Layout UpdatePanel::layoutFor (int width, int height)
{
    const auto cardWidth = juce::jmax (0, juce::jmin (width - 2 * kMargin, kMaxCardWidth));
    const auto cardHeight = juce::jmax (0, juce::jmin (height - 2 * kMargin, kMaxCardHeight));
    Layout layout;
    layout.card = { (width - cardWidth) / 2, (height - cardHeight) / 2, cardWidth, cardHeight };

    // Taken from the bottom up, each row clamped to what is left, so a card
    // smaller than its paddings ends with empty rows rather than overlaps.
    juce::Rectangle<int> inner (layout.card.getX() + kPadX, layout.card.getY() + kPadY,
                                juce::jmax (cardWidth - 2 * kPadX, 0), juce::jmax (cardHeight - 2 * kPadY, 0));
    layout.buttonRow = inner.removeFromBottom (kButtonRow);
    inner.removeFromBottom (kButtonGap);
    layout.toggleRow = inner.removeFromBottom (kToggleRow);
    inner.removeFromBottom (kToggleGap);
    layout.title = inner.removeFromTop (kTitleRow);
    inner.removeFromTop (kTitleGap);
    layout.message = inner;
    return layout;
}

UpdatePanel::UpdatePanel (const vo::gui::Theme& themeToUse)
    : theme (&themeToUse),
      cardShade (themeToUse.panelShadow.toShadow()),
      yesButton ({}, themeToUse),
      noButton ({}, themeToUse),
      closeButton ({}, themeToUse),
      askButton ("update ask", ui::RoundButton::NoIcon, themeToUse, {})
{
    setOpaque (false);
    setInterceptsMouseClicks (true, true);
    setWantsKeyboardFocus (true);

    yesButton.setName ("update yes");
    noButton.setName ("update no");
    closeButton.setName ("update close");
    askButton.setDiameter (kAskDiameter);

    yesButton.onClick = [this] { accept(); };
    noButton.onClick = [this] { close(); };
    closeButton.onClick = [this] { close(); };
    askButton.onClick = [this] { flipDontAsk(); };

    for (auto* child : std::initializer_list<juce::Component*> { &yesButton, &noButton, &closeButton, &askButton })
        addAndMakeVisible (child);
}

void UpdatePanel::setTexts (const i18n::Table& table)
{
    using i18n::textOf;
    titleText = textOf (table.updateTitle);
    upToDateText = textOf (table.msgUpToDate);
    noConnectionText = textOf (table.msgNoConnection);
    lookingText = textOf (table.msgLooking);
    availableFormat = textOf (table.msgUpdateAvailable);
    dontAskText = textOf (table.toggleDoNotAsk);
    yesButton.setButtonText (textOf (table.buttonYes));
    noButton.setButtonText (textOf (table.buttonNo));
    closeButton.setButtonText (textOf (table.buttonClose));
    resized();
    repaint();
}

void UpdatePanel::setState (int newState)
{
    state = newState;
    // Which buttons show depends on the state, and they are sorted out in resized.
    resized();
    repaint();
}

void UpdatePanel::setRelease (const upd::Release& newRelease)
{
    release = newRelease;
    repaint();
}

void UpdatePanel::setDontAsk (bool shouldNotAsk)
{
    dontAsk = shouldNotAsk;
    askButton.setLit (dontAsk, true);
}

void UpdatePanel::setCornerRadius (float radius)
{
    radius = juce::jmax (0.0f, radius);
    if (juce::approximatelyEqual (radius, cornerRadius))
        return;
    cornerRadius = radius;
    repaint();
}

juce::String UpdatePanel::getMessage() const
{
    switch (state)
    {
        case available: return availableFormat.replace ("%s", release.version);
        case upToDate: return upToDateText;
        case noConnection: return noConnectionText;
        case looking: return lookingText;
        default: return {};
    }
}

void UpdatePanel::close()
{
    setVisible (false);
    if (onClose)
        onClose();
}

void UpdatePanel::accept()
{
    // The address goes out even when empty: the editor's handler decides
    // what an empty one means (nothing opens).
    if (onOpenLink)
        onOpenLink (release.installer);
    close();
}

void UpdatePanel::flipDontAsk()
{
    setDontAsk (! dontAsk);
    repaint();
    if (onDontAskChanged)
        onDontAskChanged (dontAsk);
}

void UpdatePanel::mouseDown (const juce::MouseEvent& event)
{
    if (! layoutFor (getWidth(), getHeight()).card.toFloat().contains (event.position))
        close();
}

void UpdatePanel::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();
    const auto radius = juce::jmin (cornerRadius, bounds.getWidth() / 2.0f, bounds.getHeight() / 2.0f);
    juce::Path scrim;
    scrim.addRoundedRectangle (bounds.getX(), bounds.getY(), bounds.getWidth(), bounds.getHeight(), radius, radius,
                               false, false, true, true);
    g.setColour (theme->background.withAlpha (kScrimAlpha));
    g.fillPath (scrim);

    const auto layout = layoutFor (getWidth(), getHeight());
    if (layout.card.isEmpty())
        return;
    const auto card = layout.card.toFloat();
    juce::Path cardShape;
    cardShape.addRoundedRectangle (card, kCardRadius);
    cardShade.render (g, cardShape);
    g.setColour (theme->panelBackground);
    g.fillPath (cardShape);
    g.setColour (theme->hairline);
    g.drawRoundedRectangle (card.reduced (kOutlineWidth / 2.0f), kCardRadius, kOutlineWidth);

    g.setColour (theme->text);
    g.setFont (typefaces->getDisplayFont (kTitleHeight));
    g.drawText (titleText, layout.title, juce::Justification::centredLeft, true);

    g.setFont (typefaces->getDisplayFont (kMessageHeight));
    g.drawFittedText (getMessage(), layout.message, juce::Justification::topLeft, kMessageLines, kMessageMinScale);

    if (state == available)
    {
        const auto row = layout.toggleRow;
        const juce::Rectangle<int> label (row.getX() + kAskWidth, row.getY(), juce::jmax (row.getWidth() - kAskWidth, 0),
                                          row.getHeight());
        g.setColour (theme->labelText);
        g.setFont (typefaces->getDisplayFont (kToggleTextHeight));
        g.drawText (dontAskText, label, juce::Justification::centredLeft, true);
    }
}

bool UpdatePanel::keyPressed (const juce::KeyPress& key)
{
    const auto modifiers = key.getModifiers();
    if (key.getKeyCode() != juce::KeyPress::escapeKey || modifiers.isShiftDown() || modifiers.isCtrlDown()
        || modifiers.isAltDown())
        return false;
    close();
    return true;
}

void UpdatePanel::resized()
{
    const bool offering = state == available;
    yesButton.setVisible (offering);
    noButton.setVisible (offering);
    askButton.setVisible (offering);
    closeButton.setVisible (! offering);

    const auto layout = layoutFor (getWidth(), getHeight());
    layOutCapsules (layout.buttonRow);
    // Never wider than the row, so a tiny card keeps the toggle inside it.
    const auto toggle = layout.toggleRow;
    askButton.setBounds (toggle.getX(), toggle.getY(), juce::jmin (kAskWidth, toggle.getWidth()), toggle.getHeight());
}

void UpdatePanel::layOutCapsules (juce::Rectangle<int> row)
{
    // The capsules' artwork sits inside an inset; widening the row by it puts
    // the drawn bodies exactly on the row.
    const auto widened = row.expanded (ui::CapsuleButton::kInset);
    std::vector<ui::CapsuleButton*> shown;
    for (auto* button : { &yesButton, &noButton, &closeButton })
        if (button->isVisible())
            shown.push_back (button);

    std::vector<int> widths;
    std::int64_t total = 0;
    for (auto* button : shown)
    {
        widths.push_back (ui::CapsuleButton::preferredWidthFor (button->getButtonText()));
        total += widths.back();
    }
    const std::int64_t room = widened.getWidth();
    if (total > room)
        for (auto& width : widths)
            width = static_cast<int> (width * room / total);

    auto x = widened.getX();
    for (size_t i = 0; i < shown.size(); ++i)
    {
        shown[i]->setBounds (x, widened.getY(), widths[i], widened.getHeight());
        x += widths[i];
    }
}

} // namespace vo::plugins::zel
