#pragma once

#include "display/DisplayFrame.h"
#include "display/TripleBuffer.h"

namespace vo::plugins::zel
{

// The audio thread publishes whole display frames, the editor takes the newest.
class DisplayExchange
{
public:
    DisplayExchange() noexcept;

    // Audio thread.
    void publish (const DisplayFrame& frame) noexcept;

    // Editor thread. Returns the newest published frame (or the previous one
    // again when nothing new was published).
    void read (DisplayFrame& out) noexcept;

private:
    TripleBuffer<DisplayFrame> frames;
};

} // namespace vo::plugins::zel
