#include "SyntheticMouse.h"

namespace vo::gui::test
{

namespace
{

juce::ModifierKeys held (juce::ModifierKeys keys)
{
    return keys.withFlags (juce::ModifierKeys::leftButtonModifier);
}

} // namespace

SyntheticMouse::SyntheticMouse (juce::Component& targetToDrive) : target (targetToDrive)
{
}

juce::MouseEvent SyntheticMouse::event (juce::Point<float> position, juce::ModifierKeys keys, int clicks,
                                        bool dragged) const
{
    return { juce::Desktop::getInstance().getMainMouseSource(),
             position,
             keys,
             juce::MouseInputSource::defaultPressure,
             juce::MouseInputSource::defaultOrientation,
             juce::MouseInputSource::defaultRotation,
             juce::MouseInputSource::defaultTiltX,
             juce::MouseInputSource::defaultTiltY,
             &target,
             &target,
             juce::Time::getCurrentTime(),
             downPosition,
             downTime,
             clicks,
             dragged };
}

void SyntheticMouse::enter (juce::Point<float> position)
{
    target.mouseEnter (event (position, {}, 0, false));
}

void SyntheticMouse::exit (juce::Point<float> position)
{
    target.mouseExit (event (position, {}, 0, false));
}

void SyntheticMouse::press (juce::Point<float> position, juce::ModifierKeys keys)
{
    downPosition = lastPosition = position;
    downTime = juce::Time::getCurrentTime();
    moved = false;
    target.mouseDown (event (position, held (keys), clickCount, false));
}

void SyntheticMouse::dragTo (juce::Point<float> position, juce::ModifierKeys keys)
{
    lastPosition = position;
    moved = moved || position != downPosition;
    target.mouseDrag (event (position, held (keys), clickCount, moved));
}

void SyntheticMouse::release (juce::ModifierKeys keys)
{
    target.mouseUp (event (lastPosition, keys, clickCount, moved));
}

void SyntheticMouse::click (juce::Point<float> position, juce::ModifierKeys keys)
{
    press (position, keys);
    release (keys);
}

void SyntheticMouse::doubleClick (juce::Point<float> position)
{
    click (position);
    clickCount = 2;
    press (position);
    target.mouseDoubleClick (event (position, held ({}), clickCount, false));
    release();
    clickCount = 1;
}

void SyntheticMouse::drag (juce::Point<float> from, juce::Point<float> to, juce::ModifierKeys keys, int steps)
{
    press (from, keys);
    for (int i = 1; i <= steps; ++i)
        dragTo (from + (to - from) * (static_cast<float> (i) / static_cast<float> (steps)), keys);
    release (keys);
}

} // namespace vo::gui::test
