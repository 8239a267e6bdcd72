#include "cut/CutAmplitude.h"

#include "BandLayout.h"
#include "cut/CutExp.h"

#include <cmath>
#include <cstdint>

namespace vo::plugins::zel
{

namespace
{
    using quad::kLanes;
    using quad::Quad;
    using quad::Quad32;
    using quad::splat;

    // Two doubles side by side: the exp runs in double, like std::exp, so that
    // its result rounds to the same float.
    typedef double Pair __attribute__ ((vector_size (16)));
    typedef std::uint64_t PairBits __attribute__ ((vector_size (16)));
    typedef float FloatPair __attribute__ ((vector_size (8)));

    using PairExp = CutExp<Pair, PairBits>;
    constexpr double kLn10Over40 = PairExp::kLn10Over40;

    Quad amplitudesOfCut (Quad gainDb) noexcept
    {
        const FloatPair low = PairExp::amplitudes (FloatPair { gainDb[0], gainDb[1] });
        const FloatPair high = PairExp::amplitudes (FloatPair { gainDb[2], gainDb[3] });
        return Quad { low[0], low[1], high[0], high[1] };
    }
} // namespace

float amplitudeFor (float gainDb) noexcept
{
    return gainDb == 0.0f ? 1.0f : (float) std::exp ((double) gainDb * kLn10Over40);
}

namespace
{
    // Lanes the vector exp was not checked for; the bank never makes them, so
    // they stay out of the way of the others.
    [[gnu::noinline, gnu::cold]] Quad amplitudesBeyondCut (Quad gainDb, Quad amplitude, Quad32 checked) noexcept
    {
        for (int k = 0; k < kLanes; ++k)
            if (checked[k] == 0)
                amplitude[k] = amplitudeFor (gainDb[k]);
        return amplitude;
    }
} // namespace

Quad amplitudesFor (Quad gainDb) noexcept
{
    const Quad amplitude = amplitudesOfCut (gainDb);

    // NaN fails both tests.
    const Quad32 checked = (gainDb >= splat (-kMaxCutDb)) & (gainDb <= Quad {});
    if (__builtin_expect (! quad::all (checked), 0))
        return amplitudesBeyondCut (gainDb, amplitude, checked);

    return amplitude;
}

void amplitudesFor (const EngineKernels& kernels, const float* gainDb, float weight, float* amplitude, int count) noexcept
{
    // A product beyond the checked range (the bank never makes one) sends
    // every gain the four-lane way, which takes std::exp for such lanes.
    if (kernels.cutAmplitudes != nullptr && kernels.cutAmplitudes (gainDb, weight, amplitude, count))
        return;

    for (int i = 0; i < count; i += kLanes)
        quad::store (amplitude + i, amplitudesFor (quad::load (gainDb + i) * splat (weight)));
}

} // namespace vo::plugins::zel
