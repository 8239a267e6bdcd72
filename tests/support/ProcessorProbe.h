#pragma once

// What the tests read inside the processor that a host never sees. Tests
// read it on the thread that processes, between blocks.

#include "plugin/Processor.h"

namespace vo::plugins::zel
{

struct ProcessorProbe
{
    static const BypassFader& bypassFader (const Processor& processor) { return processor.bypassFader; }
};

} // namespace vo::plugins::zel
