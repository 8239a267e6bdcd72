#include "ToggleSwitch.h"

#include "WidgetTooltip.h"

namespace vo::plugins::zel::ui
{

namespace
{

constexpr float kSmallestRadius = 2.0f;
constexpr float kInnerDisc = 0.55f;
constexpr float kLeverReach = 1.25f;
constexpr float kLeverWidth = 0.32f;
constexpr juce::uint32 kPlateOff = 0xff9f9d99;
constexpr juce::uint32 kPlateOn = 0xff6d6a68;
constexpr juce::uint32 kInner = 0xff7b7874;
constexpr juce::uint32 kLever = 0xffa1948e;

} // namespace

ToggleSwitch::ToggleSwitch (core::StateManager& state, const juce::String& parameterId, const vo::gui::Theme& theme,
                            const juce::String& tooltip)
    : controlShade (theme.controlShadow),
      contactShade (theme.knobContactShadow),
      leverUp ("zelswitchon_png", { 127.86f, 126.21f, 76.01f }),
      leverDown ("zelswitchoff_png", { 127.32f, 127.78f, 76.23f })
{
    WidgetTooltip::store (*this, tooltip);
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
    const bool bound = binding.bind (state, parameterId, [this] (bool on) {
        isOn = on;
        repaint();
    });
    if (! bound)
        setEnabled (false);
}

void ToggleSwitch::setSwitchSize (float size)
{
    switchSize = juce::jmax (0.0f, size);
    repaint();
}

juce::Rectangle<float> ToggleSwitch::switchSquare() const
{
    const auto side = static_cast<float> (juce::jmin (getWidth(), getHeight()));
    const auto wanted = switchSize / kBodyFill;
    const auto s = switchSize > 0.0f && wanted < side ? wanted : side;
    return juce::Rectangle<float> (s, s).withCentre (getLocalBounds().toFloat().getCentre());
}

bool ToggleSwitch::hitTest (int x, int y)
{
    return switchSquare().contains (static_cast<float> (x), static_cast<float> (y));
}

void ToggleSwitch::mouseUp (const juce::MouseEvent& event)
{
    if (switchSquare().contains (event.position))
        binding.flip (isOn);
}

bool ToggleSwitch::keyPressed (const juce::KeyPress& key)
{
    if (key != juce::KeyPress::spaceKey && key != juce::KeyPress::returnKey)
        return false;
    binding.flip (isOn);
    return true;
}

std::unique_ptr<juce::AccessibilityHandler> ToggleSwitch::createAccessibilityHandler()
{
    class SwitchHandler : public juce::AccessibilityHandler
    {
    public:
        explicit SwitchHandler (ToggleSwitch& owner)
            : juce::AccessibilityHandler (owner, juce::AccessibilityRole::toggleButton,
                                          juce::AccessibilityActions().addAction (
                                              juce::AccessibilityActionType::toggle,
                                              [&owner] { owner.binding.flip (owner.isOn); })),
              switchOwner (owner)
        {
        }

        juce::AccessibleState getCurrentState() const override
        {
            auto current = juce::AccessibilityHandler::getCurrentState().withCheckable();
            return switchOwner.getIsOn() ? current.withChecked() : current;
        }

    private:
        ToggleSwitch& switchOwner;
    };
    return std::make_unique<SwitchHandler> (*this);
}

void ToggleSwitch::paint (juce::Graphics& g)
{
    const auto square = switchSquare();
    const auto radius = kBodyFill * square.getWidth() / 2.0f;
    if (radius < kSmallestRadius)
        return;
    const auto centre = square.getCentre();
    auto& art = isOn ? leverDown : leverUp;
    if (! art.exists())
    {
        paintFallback (g, centre, radius);
        return;
    }
    const auto& picture = art.scaledFor (g, centre, radius);
    const auto area = art.boundsFor (centre, radius);
    controlShade.draw (g, picture, area, 0);
    contactShade.draw (g, picture, area, 0);
    art.draw (g, centre, radius, 1.0f);
}

void ToggleSwitch::paintFallback (juce::Graphics& g, juce::Point<float> centre, float radius) const
{
    const auto plate = juce::Rectangle<float> (2.0f * radius, 2.0f * radius).withCentre (centre);
    g.setColour (juce::Colour (isOn ? kPlateOn : kPlateOff));
    g.fillEllipse (plate);
    g.setColour (juce::Colour (kInner));
    g.fillEllipse (plate.reduced ((1.0f - kInnerDisc) * radius));

    const auto reach = kLeverReach * radius;
    const auto width = kLeverWidth * radius;
    const auto lever = isOn ? juce::Rectangle<float> (centre.x - width / 2.0f, centre.y, width, reach)
                            : juce::Rectangle<float> (centre.x - width / 2.0f, centre.y - reach, width, reach);
    g.setColour (juce::Colour (kLever));
    g.fillRoundedRectangle (lever, width / 2.0f);
}

} // namespace vo::plugins::zel::ui
