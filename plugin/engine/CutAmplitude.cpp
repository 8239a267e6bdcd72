#include "CutAmplitude.h"

#include "BandLayout.h"

#include <cmath>
#include <cstdint>

namespace vo::plugins::zel
{

namespace
{
    constexpr double kLn10Over40 = 0.057564627324851146;

    using quad::kLanes;
    using quad::Quad;
    using quad::Quad32;
    using quad::splat;

    // Two doubles side by side: the exp runs in double, like std::exp, so that
    // its result rounds to the same float.
    typedef double Pair __attribute__ ((vector_size (16)));
    typedef std::uint64_t PairBits __attribute__ ((vector_size (16)));

    constexpr Pair splatPair (double x) noexcept { return Pair { x, x }; }

    constexpr double inverseFactorial (int n) noexcept
    {
        double f = 1.0;
        for (int i = 2; i <= n; ++i)
            f *= i;
        return 1.0 / f;
    }

    constexpr Pair kShifter = splatPair (0x1.8p52);
    constexpr Pair kInverseLn2 = splatPair (0x1.71547652b82fep+0);
    constexpr Pair kLn2High = splatPair (0x1.62e42feep-1);
    constexpr Pair kLn2Low = splatPair (0x1.a39ef35793c76p-33);
    constexpr Pair kOne = splatPair (1.0);
    constexpr Pair kC2 = splatPair (inverseFactorial (2)), kC3 = splatPair (inverseFactorial (3));
    constexpr Pair kC4 = splatPair (inverseFactorial (4)), kC5 = splatPair (inverseFactorial (5));
    constexpr Pair kC6 = splatPair (inverseFactorial (6)), kC7 = splatPair (inverseFactorial (7));
    constexpr Pair kC8 = splatPair (inverseFactorial (8)), kC9 = splatPair (inverseFactorial (9));
    constexpr Pair kC10 = splatPair (inverseFactorial (10)), kC11 = splatPair (inverseFactorial (11));
    constexpr Pair kC12 = splatPair (inverseFactorial (12)), kC13 = splatPair (inverseFactorial (13));

    // exp (x) for x in [-1.75, 0], a gain of [-30, 0] dB, within a little over
    // half an ulp. Outside that the reduction below is not exact and the
    // scaling may leave the exponent range.
    [[gnu::always_inline]] inline Pair expOfCut (Pair x) noexcept
    {
        // x = k ln2 + r, k the nearest integer to x / ln2 (0, -1 or -2), so |r|
        // is at most about ln2 / 2. Adding 1.5 * 2^52 rounds x / ln2 to an
        // integer that then sits in the low bits of the sum.
        const Pair shifted = x * kInverseLn2 + kShifter;
        const Pair k = shifted - kShifter;

        // ln2 in two parts. The first has 32 significant bits, so k times it
        // is exact, and so is x less that (the two lie within a factor of two
        // of each other whenever k is not 0); the second, times k, is what r
        // still owes: exp (x) = 2^k exp (r) exp (-owed).
        const Pair r = x - k * kLn2High;
        const Pair owed = k * kLn2Low;

        // exp (r) = 1 + r + r^2 p (r), p the Taylor series up to r^11 / 13!:
        // the first term left out, r^14 / 14!, is below 2^-57 here. Estrin's
        // order keeps the chains short.
        const Pair r2 = r * r, r4 = r2 * r2;
        const Pair a0 = kC2 + kC3 * r, a1 = kC4 + kC5 * r, a2 = kC6 + kC7 * r;
        const Pair a3 = kC8 + kC9 * r, a4 = kC10 + kC11 * r, a5 = kC12 + kC13 * r;
        const Pair b0 = a0 + a1 * r2, b1 = a2 + a3 * r2, b2 = a4 + a5 * r2;
        const Pair q = r2 * (b0 + r4 * (b1 + r4 * b2));

        // 1 + r with its rounding error kept aside, so that the sum is rounded
        // once, at the end.
        const Pair head = kOne + r;
        const Pair headError = (kOne - head) + r;
        const Pair y = head + (q + (headError - owed * (head + q)));

        // Times 2^k, straight into the exponent: y lies within [0.7, 1.5]. The
        // low bits of `shifted` hold k in two's complement.
        return (Pair) ((PairBits) y + ((PairBits) shifted << 52));
    }

    Quad amplitudesOfCut (Quad gainDb) noexcept
    {
        const Pair scale = splatPair (kLn10Over40);
        const Pair low = expOfCut (Pair { (double) gainDb[0], (double) gainDb[1] } * scale);
        const Pair high = expOfCut (Pair { (double) gainDb[2], (double) gainDb[3] } * scale);
        const Quad amplitude { (float) low[0], (float) low[1], (float) high[0], (float) high[1] };
        return gainDb == Quad {} ? splat (1.0f) : amplitude;
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

} // namespace vo::plugins::zel
