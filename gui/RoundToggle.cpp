#include "RoundToggle.h"

#include "ControlParameter.h"

namespace vo::gui
{

namespace
{

constexpr float kIconShare = 0.4f;
constexpr float kPowerGapFrom = 0.6f;
constexpr float kPowerGapTo = 5.683186f;
constexpr float kPowerStroke = 1.8f;
constexpr float kLineStroke = 1.6f;

juce::PathStrokeType stroke (float width)
{
    return { width, juce::PathStrokeType::curved, juce::PathStrokeType::rounded };
}

} // namespace

RoundToggle::RoundToggle (core::StateManager& stateToUse, const juce::String& parameterId, Icon iconToUse,
                          const Theme& themeToUse, const juce::String& tooltip)
    : theme (themeToUse), icon (iconToUse), shadow (theme.controlShadow.toShadow()), state (stateToUse)
{
    storeTooltip (*this, tooltip);
    setTitle (tooltip);
    setWantsKeyboardFocus (true);

    parameter = controlParameter (state, parameterId);
    if (parameter == nullptr)
    {
        setEnabled (false);
        return;
    }

    attachment = std::make_unique<juce::ParameterAttachment> (
        *parameter, [this] (float value) { on = value > 0.5f; repaint(); }, &state.getUndoManager());
    attachment->sendInitialUpdate();
}

RoundToggle::~RoundToggle()
{
    attachment.reset();
}

void RoundToggle::toggle()
{
    if (attachment == nullptr)
        return;

    state.beginTransaction();
    attachment->setValueAsCompleteGesture (on ? 0.0f : 1.0f);
    state.flushToTree();
}

void RoundToggle::mouseUp (const juce::MouseEvent& e)
{
    if (getLocalBounds().contains (e.getPosition()))
        toggle();
}

bool RoundToggle::keyPressed (const juce::KeyPress& key)
{
    if (key != juce::KeyPress::spaceKey || ! isEnabled())
        return false;
    toggle();
    return true;
}

void RoundToggle::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();
    const auto e = juce::jmin (bounds.getWidth(), bounds.getHeight()) - 2.0f;
    if (e <= 0.0f)
        return;

    const auto circle = juce::Rectangle<float> (e, e).withCentre (bounds.getCentre());
    juce::Path disc;
    disc.addEllipse (circle);
    shadow.render (g, disc);

    if (on)
    {
        g.setColour (icon == Icon::Power ? theme.text : theme.accentLine);
        g.fillPath (disc);
        drawIcon (g, circle, theme.inkOnAccent);
        return;
    }

    g.setColour (theme.surface);
    g.fillPath (disc);
    g.setColour (isMouseOver() ? theme.labelText : theme.outline);
    g.drawEllipse (circle.reduced (0.5f), 1.2f);
    drawIcon (g, circle, theme.labelText);
}

void RoundToggle::drawIcon (juce::Graphics& g, juce::Rectangle<float> circle, juce::Colour colour) const
{
    const auto e = circle.getWidth();
    const auto side = kIconShare * e;
    const auto c = circle.getCentre();
    const auto box = juce::Rectangle<float> (side, side).withCentre (c);
    g.setColour (colour);

    switch (icon)
    {
        case Icon::Power:
        {
            const auto r = 0.2f * e;
            juce::Path path;
            path.addCentredArc (c.x, c.y, r, r, 0.0f, kPowerGapFrom, kPowerGapTo, true);
            path.startNewSubPath (c.x, box.getY() - 1.0f);
            path.lineTo (c.x, c.y - 1.0f);
            g.strokePath (path, stroke (kPowerStroke));
            break;
        }
        case Icon::Delta:
        {
            juce::Path path;
            path.addTriangle (c.x, box.getY(), box.getRight(), box.getBottom(), box.getX(), box.getBottom());
            g.strokePath (path, stroke (kLineStroke));
            break;
        }
        case Icon::Headphones:
        {
            const auto arcRadius = 0.48f * side;
            const auto arcCentre = c.translated (0.0f, 0.16f * side);
            juce::Path band;
            band.addCentredArc (arcCentre.x, arcCentre.y, arcRadius, arcRadius, 0.0f,
                                -juce::MathConstants<float>::halfPi, juce::MathConstants<float>::halfPi, true);
            g.strokePath (band, stroke (kLineStroke));

            const auto cupWidth = juce::jmax (0.55f * arcRadius, 2.5f);
            const auto cupHeight = juce::jmax (0.95f * arcRadius, 4.0f);
            for (const auto x : { arcCentre.x - arcRadius, arcCentre.x + arcRadius })
                g.fillRoundedRectangle (juce::Rectangle<float> (cupWidth, cupHeight).withCentre ({ x, arcCentre.y }),
                                        0.4f * cupWidth);
            break;
        }
    }
}

std::unique_ptr<juce::AccessibilityHandler> RoundToggle::createAccessibilityHandler()
{
    auto actions = juce::AccessibilityActions()
                       .addAction (juce::AccessibilityActionType::press, [this] { toggle(); })
                       .addAction (juce::AccessibilityActionType::toggle, [this] { toggle(); });

    class ToggleHandler : public juce::AccessibilityHandler
    {
    public:
        ToggleHandler (RoundToggle& owner, juce::AccessibilityActions toggleActions)
            : juce::AccessibilityHandler (owner, juce::AccessibilityRole::toggleButton, std::move (toggleActions)),
              toggleOwner (owner)
        {
        }

        juce::AccessibleState getCurrentState() const override
        {
            auto current = juce::AccessibilityHandler::getCurrentState().withCheckable();
            return toggleOwner.isOn() ? current.withChecked() : current;
        }

    private:
        RoundToggle& toggleOwner;
    };

    return std::make_unique<ToggleHandler> (*this, std::move (actions));
}

} // namespace vo::gui
