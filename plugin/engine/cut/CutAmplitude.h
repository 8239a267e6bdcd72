#pragma once

#include "FloatQuad.h"
#include "kernels/EngineKernels.h"

namespace vo::plugins::zel
{

// A bell's amplitude for a gain of gainDb (a cut, or a set's share of one):
// 10^(gainDb / 40), and exactly 1 for no cut.
float amplitudeFor (float gainDb) noexcept;

// amplitudeFor of four gains, with its bits in every lane. Gains in
// [-kMaxCutDb, 0], the only ones the bank makes, take a vector exp whose
// floats were checked against glibc's std::exp for every gain there; any
// other lane (NaN included) takes amplitudeFor itself.
quad::Quad amplitudesFor (quad::Quad gainDb) noexcept;

// amplitudeFor (gainDb[i] * weight) for count gains, a multiple of 8, in the
// widest vectors the kernels' instruction set offers, with the same bits.
void amplitudesFor (const EngineKernels& kernels, const float* gainDb, float weight, float* amplitude, int count) noexcept;

} // namespace vo::plugins::zel
