#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace vo::test
{

// Mouse presses and releases delivered the way the desktop delivers them: the
// press goes to whichever component the root's hit testing finds at the point,
// and that component also receives the release, wherever it happens.
class SyntheticClicks
{
public:
    // The component that received the press, or null when none took it.
    static juce::Component* press (juce::Component& root, juce::Point<float> at);
    static void release (juce::Component& target, juce::Component& root, juce::Point<float> at);

    // A press and a release at the same point; the component that took it.
    static juce::Component* click (juce::Component& root, juce::Point<float> at);

private:
    static juce::MouseEvent eventFor (juce::Component& target, juce::Component& root, juce::Point<float> at,
                                      juce::ModifierKeys modifiers);
};

} // namespace vo::test
