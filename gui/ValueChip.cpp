#include "ValueChip.h"

#include "ControlParameter.h"
#include "Fonts.h"

namespace vo::gui
{

namespace
{

constexpr float kMaximumTextHeight = 13.5f;
constexpr float kTextHeightShare = 0.68f;
constexpr float kEditorTextHeight = 12.0f;
constexpr int kEditorInset = 2;

// Screen readers read the chip's value and may type a new one.
class ChipValue : public juce::AccessibilityTextValueInterface
{
public:
    ChipValue (juce::RangedAudioParameter* parameterToUse, juce::ParameterAttachment* attachmentToUse)
        : parameter (parameterToUse), attachment (attachmentToUse)
    {
    }

    bool isReadOnly() const override { return parameter == nullptr; }
    juce::String getCurrentValueAsString() const override
    {
        return parameter != nullptr ? parameter->getCurrentValueAsText() : juce::String();
    }
    void setValueAsString (const juce::String& text) override
    {
        if (parameter == nullptr || attachment == nullptr || text.isEmpty())
            return;
        attachment->setValueAsCompleteGesture (parameter->convertFrom0to1 (parameter->getValueForText (text)));
    }

private:
    juce::RangedAudioParameter* parameter;
    juce::ParameterAttachment* attachment;
};

} // namespace

ValueChip::ValueChip (core::StateManager& stateToUse, const juce::String& parameterId, const Theme& themeToUse,
                      const juce::String& tooltip)
    : theme (themeToUse), shadow (theme.controlShadow.toShadow()), state (stateToUse)
{
    setMouseCursor (juce::MouseCursor::UpDownResizeCursor);
    storeTooltip (*this, tooltip);
    setTitle (tooltip);

    parameter = controlParameter (state, parameterId);
    if (parameter == nullptr)
    {
        setEnabled (false);
        return;
    }

    attachment = std::make_unique<juce::ParameterAttachment> (
        *parameter, [this] (float value) { lastValue = value; repaint(); }, &state.getUndoManager());
    attachment->sendInitialUpdate();
}

ValueChip::~ValueChip()
{
    attachment.reset();
    if (editor != nullptr)
        editor->removeListener (this);
}

float ValueChip::snappedPlain (float normalised) const
{
    const auto& range = parameter->getNormalisableRange();
    return range.snapToLegalValue (range.convertFrom0to1 (juce::jlimit (0.0f, 1.0f, normalised)));
}

juce::String ValueChip::valueText() const
{
    return parameter != nullptr ? parameter->getCurrentValueAsText() : juce::String();
}

void ValueChip::paint (juce::Graphics& g)
{
    const auto capsule = getLocalBounds().toFloat().reduced (1.0f);
    const auto radius = capsule.getHeight() * 0.5f;
    juce::Path outline;
    outline.addRoundedRectangle (capsule, radius);
    shadow.render (g, outline);
    g.setColour (theme.surface);
    g.fillPath (outline);

    if (dragging)
        g.setColour (theme.knobRing.withAlpha (0.9f));
    else
        g.setColour (theme.outline);
    g.drawRoundedRectangle (capsule.reduced (0.5f), radius, dragging ? 1.4f : 1.0f);

    if (editor != nullptr || parameter == nullptr)
        return;

    g.setColour (theme.text);
    g.setFont (textFont (juce::jmin (kTextHeightShare * capsule.getHeight(), kMaximumTextHeight)));
    g.drawText (valueText(), capsule, juce::Justification::centred, false);
}

void ValueChip::mouseDown (const juce::MouseEvent&)
{
    if (parameter != nullptr)
        dragStartValue = parameter->getValue();
    dragging = false;
}

void ValueChip::startDrag()
{
    dragging = true;
    showDrag = true;
    state.beginTransactionNoFlush();
    attachment->beginGesture();
    repaint();
}

void ValueChip::mouseDrag (const juce::MouseEvent& e)
{
    if (parameter == nullptr)
        return;

    if (! dragging && e.getDistanceFromDragStart() > kDragThreshold)
        startDrag();
    if (! dragging)
        return;

    const auto pixels = e.mods.isShiftDown() ? kFinePixelsForFullRange : kPixelsForFullRange;
    const auto delta = e.position.y - e.mouseDownPosition.y;
    attachment->setValueAsPartOfGesture (snappedPlain (dragStartValue - delta / pixels));
}

void ValueChip::mouseUp (const juce::MouseEvent& e)
{
    if (dragging)
    {
        attachment->endGesture();
        dragging = false;
        showDrag = false;
        repaint();
        return;
    }

    if (parameter != nullptr && getLocalBounds().contains (e.getPosition()))
        startTyping();
}

void ValueChip::mouseDoubleClick (const juce::MouseEvent&)
{
    if (parameter == nullptr)
        return;
    attachment->setValueAsCompleteGesture (snappedPlain (parameter->getDefaultValue()));
}

void ValueChip::startTyping()
{
    if (editor != nullptr)
        return;

    editor = std::make_unique<juce::TextEditor>();
    editor->setJustification (juce::Justification::centred);
    editor->setFont (textFont (kEditorTextHeight));
    editor->setText (valueText(), false);
    editor->setSelectAllWhenFocused (true);
    editor->addListener (this);
    editor->setBounds (getLocalBounds().reduced (kEditorInset));
    addAndMakeVisible (*editor);
    editor->grabKeyboardFocus();
    repaint();
}

void ValueChip::commitEditor (bool apply)
{
    if (editor == nullptr)
        return;

    const auto text = editor->getText();
    editor->removeListener (this);
    removeChildComponent (editor.get());

    // The editor may be inside one of its own callbacks: it is deleted later,
    // from the message loop, once that callback has returned.
    juce::MessageManager::callAsync ([finished = std::shared_ptr<juce::TextEditor> (editor.release())] {});

    if (apply && parameter != nullptr && text.isNotEmpty())
        attachment->setValueAsCompleteGesture (parameter->convertFrom0to1 (parameter->getValueForText (text)));

    repaint();
}

void ValueChip::textEditorReturnKeyPressed (juce::TextEditor&)
{
    commitEditor (true);
}

void ValueChip::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    commitEditor (false);
}

void ValueChip::textEditorFocusLost (juce::TextEditor&)
{
    commitEditor (true);
}

std::unique_ptr<juce::AccessibilityHandler> ValueChip::createAccessibilityHandler()
{
    return std::make_unique<juce::AccessibilityHandler> (
        *this, juce::AccessibilityRole::editableText, juce::AccessibilityActions(),
        juce::AccessibilityHandler::Interfaces { std::make_unique<ChipValue> (parameter, attachment.get()) });
}

} // namespace vo::gui
