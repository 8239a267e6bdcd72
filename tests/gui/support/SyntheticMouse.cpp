#include "SyntheticMouse.h"

namespace vo::test
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

SyntheticMouse& SyntheticMouse::heardBy (juce::MouseListener& listener)
{
    listeners.add (&listener);
    return *this;
}

template <typename Deliver>
void SyntheticMouse::deliver (const juce::MouseEvent& e, Deliver&& call)
{
    call (static_cast<juce::MouseListener&> (target), e);
    for (auto* listener : listeners)
        call (*listener, e);
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
    deliver (event (position, {}, 0, false), [] (juce::MouseListener& l, const juce::MouseEvent& e) { l.mouseEnter (e); });
}

void SyntheticMouse::exit (juce::Point<float> position)
{
    deliver (event (position, {}, 0, false), [] (juce::MouseListener& l, const juce::MouseEvent& e) { l.mouseExit (e); });
}

void SyntheticMouse::press (juce::Point<float> position, juce::ModifierKeys keys)
{
    downPosition = lastPosition = position;
    downTime = juce::Time::getCurrentTime();
    moved = false;
    deliver (event (position, held (keys), clickCount, false), [] (juce::MouseListener& l, const juce::MouseEvent& e) { l.mouseDown (e); });
}

void SyntheticMouse::dragTo (juce::Point<float> position, juce::ModifierKeys keys)
{
    lastPosition = position;
    moved = moved || position != downPosition;
    deliver (event (position, held (keys), clickCount, moved), [] (juce::MouseListener& l, const juce::MouseEvent& e) { l.mouseDrag (e); });
}

void SyntheticMouse::release (juce::ModifierKeys keys)
{
    deliver (event (lastPosition, keys, clickCount, moved), [] (juce::MouseListener& l, const juce::MouseEvent& e) { l.mouseUp (e); });
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
    deliver (event (position, held ({}), clickCount, false),
             [] (juce::MouseListener& l, const juce::MouseEvent& e) { l.mouseDoubleClick (e); });
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

} // namespace vo::test
