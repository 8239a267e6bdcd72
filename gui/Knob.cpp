#include "Knob.h"

#include "ControlParameter.h"
#include "DisplayScale.h"
#include "EmbeddedImage.h"
#include "Fonts.h"

namespace vo::gui
{

namespace
{

constexpr float kAngleRange = 4.712389f;
constexpr float kCaptionFontHeight = 13.0f;
constexpr int kCaptionHeight = 15;
constexpr int kChipGap = 5;
constexpr int kChipWidth = 64;
constexpr float kFaceMargin = 14.0f;
constexpr int kCacheMargin = 20;
constexpr float kSmallestCachedFace = 8.0f;
constexpr float kScaleTolerance = 0.01f;
constexpr float kDiameterTolerance = 0.01f;

constexpr float kLargeDiameter = 78.0f;
constexpr float kMediumDiameter = 60.0f;
constexpr float kSmallDiameter = 46.0f;

constexpr int kVelocityThreshold = 1;
constexpr double kVelocityOffset = 0.0;
constexpr double kDefaultStepShare = 0.01;

// The face bitmap a style is drawn from, by embedded file name.
const char* faceFileFor (std::int32_t style)
{
    switch (style)
    {
        case KnobPainter::kBrassStyle: return "knob22face.png";
        case KnobPainter::kTickStyle: return "knob20face.png";
        case KnobPainter::kImageStyle: return "zelknob.png";
        default: return nullptr;
    }
}

bool isArrowKey (const juce::KeyPress& key)
{
    return key == juce::KeyPress::upKey || key == juce::KeyPress::downKey || key == juce::KeyPress::leftKey
        || key == juce::KeyPress::rightKey;
}

// The framework's step for a slider: its interval, or a hundredth of the range.
double stepOf (const juce::Slider& slider)
{
    const auto interval = slider.getInterval();
    return interval > 0.0 ? interval : (slider.getMaximum() - slider.getMinimum()) * kDefaultStepShare;
}

class KnobValue : public juce::AccessibilityValueInterface
{
public:
    explicit KnobValue (Knob::SilentSlider& sliderToRead) : slider (sliderToRead) {}

    bool isReadOnly() const override { return ! slider.isEnabled(); }
    double getCurrentValue() const override { return slider.getValue(); }
    void setValue (double newValue) override { slider.setValueAsGesture (newValue); }
    juce::String getCurrentValueAsString() const override { return slider.getTextFromValue (slider.getValue()); }
    void setValueAsString (const juce::String& text) override { setValue (slider.getValueFromText (text)); }
    AccessibleValueRange getRange() const override
    {
        return { { slider.getMinimum(), slider.getMaximum() }, stepOf (slider) };
    }

private:
    Knob::SilentSlider& slider;
};

} // namespace

//==============================================================================
Knob::SilentSlider::SilentSlider() : juce::Slider (RotaryHorizontalVerticalDrag, NoTextBox)
{
}

bool Knob::SilentSlider::keyPressed (const juce::KeyPress& key)
{
    if (! isArrowKey (key) || key.getModifiers().isAnyModifierKeyDown())
        return juce::Slider::keyPressed (key);

    if (onKeyGestureStart)
        onKeyGestureStart();
    const auto handled = juce::Slider::keyPressed (key);
    if (onKeyGestureEnd)
        onKeyGestureEnd();
    return handled;
}

void Knob::SilentSlider::setValueAsGesture (double newValue)
{
    if (onKeyGestureStart)
        onKeyGestureStart();
    setValue (newValue, juce::sendNotificationSync);
    if (onKeyGestureEnd)
        onKeyGestureEnd();
}

std::unique_ptr<juce::AccessibilityHandler> Knob::SilentSlider::createAccessibilityHandler()
{
    return std::make_unique<juce::AccessibilityHandler> (
        *this, juce::AccessibilityRole::slider, juce::AccessibilityActions(),
        juce::AccessibilityHandler::Interfaces { std::make_unique<KnobValue> (*this) });
}

//==============================================================================
Knob::Knob (core::StateManager& stateToUse, const juce::String& parameterId, const juce::String& captionText,
            const Theme& themeToUse, bool isBipolar, const juce::String& tooltip, Size sizeToUse)
    : theme (themeToUse), caption (captionText), bipolar (isBipolar), size (sizeToUse), state (stateToUse),
      shadows (theme)
{
    setTitle (captionText);
    addChildComponent (slider);

    parameter = controlParameter (state, parameterId);
    if (parameter == nullptr)
    {
        setEnabled (false);
        return;
    }

    configureSlider();
    attachment = std::make_unique<juce::SliderParameterAttachment> (*parameter, slider, &state.getUndoManager());
    wireSlider();
    slider.addMouseListener (this, false);
    chip = std::make_unique<ValueChip> (state, parameterId, theme, tooltip);
    loadFaceImage();
    setTooltip (tooltip);

    slider.setVisible (true);
    addAndMakeVisible (*chip);
}

Knob::~Knob()
{
    attachment.reset();
    slider.removeMouseListener (this);
}

double Knob::defaultPlainValue() const
{
    const auto& range = parameter->getNormalisableRange();
    return static_cast<double> (range.snapToLegalValue (range.convertFrom0to1 (parameter->getDefaultValue())));
}

void Knob::configureSlider()
{
    slider.setRotaryParameters (kStartAngle, kEndAngle, true);
    slider.setDoubleClickReturnValue (true, defaultPlainValue(), juce::ModifierKeys::altModifier);
    slider.setVelocityBasedMode (false);
    slider.setVelocityModeParameters (kFineSensitivity, kVelocityThreshold, kVelocityOffset, true,
                                      juce::ModifierKeys::shiftModifier);
    slider.setMouseDragSensitivity (juce::roundToInt (kDragPixelsForFullRange));
    slider.setColour (juce::Slider::rotarySliderFillColourId, juce::Colours::transparentBlack);
    slider.setWantsKeyboardFocus (true);
    slider.setTitle (caption);
}

void Knob::wireSlider()
{
    slider.onValueChange = [this] { repaint(); };
    slider.onDragStart = [this] {
        state.beginTransactionNoFlush();
        dragging = true;
        repaint();
    };
    slider.onDragEnd = [this] {
        dragging = false;
        repaint();
    };
    // Key steps come faster than the tree catches up: the previous step is
    // flushed into its own transaction before the next one starts.
    slider.onKeyGestureStart = [this] {
        state.beginTransaction();
        parameter->beginChangeGesture();
    };
    slider.onKeyGestureEnd = [this] { parameter->endChangeGesture(); };
}

void Knob::loadFaceImage()
{
    if (const auto* fileName = faceFileFor (theme.knobStyle))
        faceImage = embeddedImage (fileName);
}

void Knob::setCaption (const juce::String& newCaption)
{
    caption = newCaption;
    setTitle (caption);
    slider.setTitle (caption);
    repaint();
}

void Knob::setTooltip (const juce::String& tooltip)
{
    storeTooltip (*this, tooltip);
    storeTooltip (slider, tooltip);
    slider.setDescription (tooltip);
    if (chip != nullptr)
        storeTooltip (*chip, tooltip);
}

void Knob::setDiameter (float diameter)
{
    diameter = juce::jmax (0.0f, diameter);
    if (std::abs (diameter - diameterOverride) < kDiameterTolerance)
        return;
    diameterOverride = diameter;
    faceCacheScale = 0.0f;
    repaint();
}

void Knob::setArcOrigin (ArcOrigin origin)
{
    if (arcOrigin == origin)
        return;
    arcOrigin = origin;
    repaint();
}

float Knob::nominalDiameter() const noexcept
{
    if (diameterOverride > 0.0f)
        return diameterOverride;
    switch (size)
    {
        case Size::Medium: return kMediumDiameter;
        case Size::Small: return kSmallDiameter;
        case Size::Large: break;
    }
    return kLargeDiameter;
}

float Knob::getFaceDiameter() const noexcept
{
    const auto room = static_cast<float> (juce::jmin (knobArea.getWidth(), knobArea.getHeight())) - kFaceMargin;
    return juce::jmax (0.0f, juce::jmin (room, nominalDiameter()));
}

juce::Rectangle<float> Knob::getFaceBounds() const noexcept
{
    const auto d = getFaceDiameter();
    return juce::Rectangle<float> (d, d).withCentre (knobArea.toFloat().getCentre());
}

KnobPainter::Geometry Knob::geometry() const noexcept
{
    return { knobArea.toFloat(), knobArea.toFloat().getCentre(), getFaceDiameter() };
}

float Knob::originAngle() const noexcept
{
    const auto origin = arcOrigin.value_or (bipolar ? ArcOrigin::Centre : ArcOrigin::Start);
    switch (origin)
    {
        case ArcOrigin::Centre: return kCentreAngle;
        case ArcOrigin::End: return kEndAngle;
        case ArcOrigin::Start: break;
    }
    return kStartAngle;
}

void Knob::resized()
{
    const auto w = getWidth();
    const auto h = getHeight();
    const auto c = juce::jmin (h, kCaptionHeight);
    const auto r = h - c;
    const auto k = juce::jmin (r, ValueChip::kHeight);
    const auto gap = juce::jmin (r - k, kChipGap);

    captionArea = { 0, 0, w, c };
    knobArea = { 0, c, w, juce::jmax (0, r - k - gap) };
    slider.setBounds (knobArea);

    if (chip != nullptr)
    {
        const auto chipWidth = juce::jmin (w, kChipWidth);
        chip->setBounds ((w - chipWidth) / 2, c + (r - k) + (k - ValueChip::kHeight) / 2, chipWidth, ValueChip::kHeight);
    }

    faceCacheScale = 0.0f;
}

void Knob::rebuildFaceCache (float scale)
{
    faceCacheScale = scale;
    faceCache = {};
    if (getFaceDiameter() < kSmallestCachedFace)
        return;

    const auto margin = static_cast<float> (kCacheMargin);
    faceCache = juce::Image (juce::Image::ARGB,
                             DisplayScale::pixels (static_cast<float> (knobArea.getWidth()) + 2.0f * margin, scale),
                             DisplayScale::pixels (static_cast<float> (knobArea.getHeight()) + 2.0f * margin, scale),
                             true);
    juce::Graphics g (faceCache);
    g.addTransform (juce::AffineTransform::scale (scale));
    const auto local = geometry().translated ({ margin - static_cast<float> (knobArea.getX()),
                                                margin - static_cast<float> (knobArea.getY()) });
    KnobPainter::drawStaticFace (g, theme, local, shadows, faceImage, scale);
    ++faceBuilds;
}

void Knob::paint (juce::Graphics& g)
{
    g.setColour (theme.labelText);
    g.setFont (displayFont (kCaptionFontHeight));
    g.drawText (caption, captionArea, juce::Justification::centred, false);

    const auto scale = DisplayScale::of (g);
    if (std::abs (scale - faceCacheScale) > kScaleTolerance)
        rebuildFaceCache (scale);
    if (faceCache.isValid())
        DisplayScale::drawAt (g, faceCache,
                              knobArea.getTopLeft().toFloat() - juce::Point<float> (kCacheMargin, kCacheMargin), scale);

    if (parameter == nullptr || getFaceDiameter() <= 0.0f)
        return;

    const auto position = static_cast<float> (slider.valueToProportionOfLength (slider.getValue()));
    const KnobPainter::Motion motion { kStartAngle + position * kAngleRange, originAngle(), isHighlighted() };
    KnobPainter::drawMovingParts (g, theme, geometry(), motion, shadows, faceImage, scaledFace, scale);
}

void Knob::mouseEnter (const juce::MouseEvent&)
{
    hovered = true;
    repaint();
}

void Knob::mouseExit (const juce::MouseEvent&)
{
    hovered = false;
    repaint();
}

} // namespace vo::gui
