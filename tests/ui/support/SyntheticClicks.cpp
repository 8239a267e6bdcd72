#include "SyntheticClicks.h"

namespace vo::test
{

juce::MouseEvent SyntheticClicks::eventFor (juce::Component& target, juce::Component& root, juce::Point<float> at,
                                            juce::ModifierKeys modifiers)
{
    const auto local = target.getLocalPoint (&root, at);
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), local, modifiers,
                             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                             juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                             juce::MouseInputSource::defaultTiltY, &target, &target, juce::Time::getCurrentTime(),
                             local, juce::Time::getCurrentTime(), 1, false);
}

juce::Component* SyntheticClicks::press (juce::Component& root, juce::Point<float> at)
{
    auto* target = root.getComponentAt (at.roundToInt());
    if (target == nullptr || target == &root)
        return nullptr;
    target->mouseDown (eventFor (*target, root, at, juce::ModifierKeys::leftButtonModifier));
    return target;
}

void SyntheticClicks::release (juce::Component& target, juce::Component& root, juce::Point<float> at)
{
    target.mouseUp (eventFor (target, root, at, juce::ModifierKeys::noModifiers));
}

juce::Component* SyntheticClicks::click (juce::Component& root, juce::Point<float> at)
{
    auto* target = press (root, at);
    if (target != nullptr)
        release (*target, root, at);
    return target;
}

} // namespace vo::test
