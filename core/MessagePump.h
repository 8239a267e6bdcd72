#pragma once

namespace vo::core
{

// Delivers the message thread's pending messages (async updates, timers) for a
// while, for programs without an event loop of their own: the command-line
// renderer and the test programs. The product never needs this and is built
// without the framework's modal loops.
struct MessagePump
{
    static void runFor (int milliseconds);
};

} // namespace vo::core
