#pragma once

#include "ImageShadow.h"
#include "KnobPainter.h"
#include "Theme.h"
#include "ValueChip.h"
#include "melatonin/DropShadow.h"
#include "melatonin/InnerShadow.h"

#include "core/StateManager.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace vo::gui
{

// A rotary control bound to one parameter: caption on top, the face in the
// middle, a value chip below. The face's static part is rendered once per
// size and display scale; only the parts that move with the value are drawn
// at each paint. All mouse and key handling is the framework slider's.
class Knob : public juce::Component
{
public:
    enum class Size : std::int32_t { Large = 0, Medium = 1, Small = 2 };
    enum class ArcOrigin : std::int32_t { Start = 0, Centre = 1, End = 2 };

    static constexpr float kStartAngle = 3.926991f;
    static constexpr float kEndAngle = 8.63938f;
    static constexpr float kCentreAngle = 6.283186f;
    static constexpr float kDragPixelsForFullRange = 170.0f;
    static constexpr double kFineSensitivity = 0.12;

    // The slider the knob's whole surface is made of: it handles the mouse
    // and the keys but draws nothing, the knob draws for it. Arrow keys step
    // the value; each press is one gesture for the host.
    class SilentSlider : public juce::Slider
    {
    public:
        SilentSlider();

        void paint (juce::Graphics&) override {}
        bool keyPressed (const juce::KeyPress& key) override;

        // Screen readers see a slider named by the caption that reads the
        // parameter's value text; a value they set is one gesture too.
        std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

        // Sets the value as one gesture of its own (keys, screen readers).
        void setValueAsGesture (double newValue);

        std::function<void()> onKeyGestureStart, onKeyGestureEnd;
    };

    Knob (core::StateManager& state, const juce::String& parameterId, const juce::String& caption,
          const Theme& theme, bool bipolar, const juce::String& tooltip, Size size);
    ~Knob() override;

    void setCaption (const juce::String& newCaption);
    void setTooltip (const juce::String& tooltip);
    void setDiameter (float diameter);
    void setArcOrigin (ArcOrigin origin);

    // The face's diameter for the current layout, 0 when there is no room.
    float getFaceDiameter() const noexcept;
    juce::Rectangle<float> getFaceBounds() const noexcept;
    juce::Rectangle<int> getKnobArea() const noexcept { return knobArea; }
    juce::Rectangle<int> getCaptionArea() const noexcept { return captionArea; }

    bool hasParameter() const noexcept { return parameter != nullptr; }
    bool isHighlighted() const noexcept { return hovered || dragging; }
    SilentSlider& getSlider() noexcept { return slider; }
    ValueChip* getChip() noexcept { return chip.get(); }

    // How many times the static face was rendered (caches are measured).
    int getFaceBuildCount() const noexcept { return faceBuilds; }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;

private:
    void configureSlider();
    void wireSlider();
    void loadFaceImage();
    double defaultPlainValue() const;
    float nominalDiameter() const noexcept;
    float originAngle() const noexcept;
    void rebuildFaceCache (float scale);
    KnobPainter::Geometry geometry() const noexcept;

    SilentSlider slider;
    const Theme theme;
    juce::String caption;
    bool bipolar = false;
    bool hovered = false;
    bool dragging = false;
    Size size = Size::Large;
    float diameterOverride = 0.0f;
    std::optional<ArcOrigin> arcOrigin;

    core::StateManager& state;
    juce::RangedAudioParameter* parameter = nullptr;

    KnobPainter::Shadows shadows;
    juce::Image faceImage;
    juce::Image faceCache;
    float faceCacheScale = 0.0f;
    KnobPainter::ScaledImage scaledFace;
    int faceBuilds = 0;

    std::unique_ptr<juce::SliderParameterAttachment> attachment;
    std::unique_ptr<ValueChip> chip;

    juce::Rectangle<int> captionArea, knobArea;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Knob)
};

} // namespace vo::gui
