#include "MessagePump.h"

#include <juce_events/juce_events.h>

namespace juce
{
// The framework's own one-message step, which its modal loops are built on; it
// exists whether or not those loops are compiled in.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace vo::core
{

void MessagePump::runFor (int milliseconds)
{
    runUntil ([] { return false; }, milliseconds);
}

bool MessagePump::runUntil (const std::function<bool()>& done, int timeoutMilliseconds)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMilliseconds;
    while (! done())
    {
        if (juce::Time::getMillisecondCounterHiRes() >= end)
            return false;
        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
    }
    return true;
}

} // namespace vo::core
