#pragma once

#include "Theme.h"
#include "melatonin/DropShadow.h"

#include "core/StateManager.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace vo::gui
{

// A capsule with a parameter's value text. Dragging it up or down changes
// the value (finer with Shift); a click without a drag opens a text field to
// type a value; a double-click returns to the default.
class ValueChip : public juce::Component,
                  private juce::TextEditor::Listener
{
public:
    // A press becomes a drag only beyond this distance.
    static constexpr int kDragThreshold = 3;
    static constexpr float kPixelsForFullRange = 220.0f;
    static constexpr float kFinePixelsForFullRange = 900.0f;
    static constexpr int kHeight = 20;

    ValueChip (core::StateManager& state, const juce::String& parameterId, const Theme& theme,
               const juce::String& tooltip);
    ~ValueChip() override;

    // Ends typing: applies the typed text when `apply` is true.
    void commitEditor (bool apply);

    bool isTyping() const noexcept { return editor != nullptr; }
    bool isDragging() const noexcept { return dragging; }
    juce::TextEditor* getEditor() noexcept { return editor.get(); }
    bool hasParameter() const noexcept { return parameter != nullptr; }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseDoubleClick (const juce::MouseEvent& e) override;

    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    void startTyping();
    void startDrag();
    float snappedPlain (float normalised) const;
    juce::String valueText() const;

    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void textEditorEscapeKeyPressed (juce::TextEditor&) override;
    void textEditorFocusLost (juce::TextEditor&) override;

    const Theme theme;
    melatonin::DropShadow shadow;
    core::StateManager& state;
    juce::RangedAudioParameter* parameter = nullptr;
    std::unique_ptr<juce::ParameterAttachment> attachment;
    std::unique_ptr<juce::TextEditor> editor;
    float lastValue = 0.0f;
    float dragStartValue = 0.0f;
    bool dragging = false;
    bool showDrag = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ValueChip)
};

} // namespace vo::gui
