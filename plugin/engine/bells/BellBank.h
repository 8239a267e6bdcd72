#pragma once

#include "bells/WavefrontBellBank.h"

namespace vo::plugins::zel
{

// The bank the engine runs. The equivalence tests hold it to ReferenceBellBank's
// output bit for bit, with every kernel this CPU can run.
using BellBank = WavefrontBellBank;

} // namespace vo::plugins::zel
