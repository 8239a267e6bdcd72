#pragma once

#include <functional>

namespace vo::core
{

// Delivers the message thread's pending messages (async updates, timers) for a
// while, for programs without an event loop of their own: the command-line
// renderer and the test programs. The product never needs this and is built
// without the framework's modal loops.
struct MessagePump
{
    static void runFor (int milliseconds);

    // Delivers messages until `done` holds or the time is up; says which. For
    // waits whose length depends on the machine (timers, sanitizers, load).
    static bool runUntil (const std::function<bool()>& done, int timeoutMilliseconds);
};

} // namespace vo::core
