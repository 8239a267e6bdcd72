#pragma once

#include "ReferenceBellBank.h"

namespace vo::plugins::zel
{

// The bank the engine runs. An optimised bank replaces this alias once the
// equivalence tests show it matches ReferenceBellBank sample for sample.
using BellBank = ReferenceBellBank;

} // namespace vo::plugins::zel
