#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace vo::test
{

// Drives one component with the mouse events a real pointer would deliver,
// without a window: press, drag, release and clicks at positions local to
// the component, with the given modifier keys (the left button is added
// while it is held). Listeners that a real window would also tell (a parent
// listening to all its nested children) are named with `heardBy`.
class SyntheticMouse
{
public:
    explicit SyntheticMouse (juce::Component& target);

    SyntheticMouse& heardBy (juce::MouseListener& listener);

    void enter (juce::Point<float> position);
    void exit (juce::Point<float> position);
    void press (juce::Point<float> position, juce::ModifierKeys keys = {});
    void dragTo (juce::Point<float> position, juce::ModifierKeys keys = {});
    void release (juce::ModifierKeys keys = {});

    // Press and release without moving.
    void click (juce::Point<float> position, juce::ModifierKeys keys = {});
    void doubleClick (juce::Point<float> position);

    // Press, drag in `steps` equal moves, release.
    void drag (juce::Point<float> from, juce::Point<float> to, juce::ModifierKeys keys = {}, int steps = 1);

private:
    juce::MouseEvent event (juce::Point<float> position, juce::ModifierKeys keys, int clicks, bool dragged) const;

    template <typename Deliver>
    void deliver (const juce::MouseEvent& e, Deliver&& call);

    juce::Component& target;
    juce::Array<juce::MouseListener*> listeners;
    juce::Point<float> downPosition, lastPosition;
    juce::Time downTime;
    int clickCount = 1;
    bool moved = false;
};

} // namespace vo::test
