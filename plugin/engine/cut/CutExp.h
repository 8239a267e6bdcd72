#pragma once

// The vector exp behind the bells' amplitudes, for any width of doubles. It is
// compiled into the baseline code and into the wider kernels (see
// bells/BellLanes.h), so everything here has internal linkage and calls nothing
// from the standard library. Every lane does the same operations in the same
// order at any width; the engine builds with -ffp-contract=off, so the bits
// do not depend on the width.

#include "BandLayout.h"

namespace vo::plugins::zel
{
namespace
{

template <typename Vec, typename Bits>
struct CutExp
{
    static constexpr double kLn10Over40 = 0.057564627324851146;

    static constexpr double inverseFactorial (int n) noexcept
    {
        double f = 1.0;
        for (int i = 2; i <= n; ++i)
            f *= i;
        return 1.0 / f;
    }

    static Vec splat (double x) noexcept { return Vec {} + x; }

    // exp (x) for x in [-1.75, 0], a gain of [-30, 0] dB, within a little over
    // half an ulp. Outside that the reduction below is not exact and the
    // scaling may leave the exponent range.
    [[gnu::always_inline]] static inline Vec exp (Vec x) noexcept
    {
        const Vec shifter = splat (0x1.8p52);

        // x = k ln2 + r, k the nearest integer to x / ln2 (0, -1 or -2), so |r|
        // is at most about ln2 / 2. Adding 1.5 * 2^52 rounds x / ln2 to an
        // integer that then sits in the low bits of the sum.
        const Vec shifted = x * splat (0x1.71547652b82fep+0) + shifter;
        const Vec k = shifted - shifter;

        // ln2 in two parts. The first has 32 significant bits, so k times it
        // is exact, and so is x less that (the two lie within a factor of two
        // of each other whenever k is not 0); the second, times k, is what r
        // still owes: exp (x) = 2^k exp (r) exp (-owed).
        const Vec r = x - k * splat (0x1.62e42feep-1);
        const Vec owed = k * splat (0x1.a39ef35793c76p-33);

        // exp (r) = 1 + r + r^2 p (r), p the Taylor series up to r^11 / 13!:
        // the first term left out, r^14 / 14!, is below 2^-57 here. Estrin's
        // order keeps the chains short.
        const auto c = [] (int n) { return splat (inverseFactorial (n)); };
        const Vec r2 = r * r, r4 = r2 * r2;
        const Vec a0 = c (2) + c (3) * r, a1 = c (4) + c (5) * r, a2 = c (6) + c (7) * r;
        const Vec a3 = c (8) + c (9) * r, a4 = c (10) + c (11) * r, a5 = c (12) + c (13) * r;
        const Vec b0 = a0 + a1 * r2, b1 = a2 + a3 * r2, b2 = a4 + a5 * r2;
        const Vec q = r2 * (b0 + r4 * (b1 + r4 * b2));

        // 1 + r with its rounding error kept aside, so that the sum is rounded
        // once, at the end.
        const Vec one = splat (1.0);
        const Vec head = one + r;
        const Vec headError = (one - head) + r;
        const Vec y = head + (q + (headError - owed * (head + q)));

        // Times 2^k, straight into the exponent: y lies within [0.7, 1.5]. The
        // low bits of `shifted` hold k in two's complement.
        return (Vec) ((Bits) y + ((Bits) shifted << 52));
    }

    // The amplitude 10^(gainDb / 40) of gains in [-30, 0] dB, computed in
    // double and rounded to float like (float) std::exp ((double) gainDb *
    // kLn10Over40), and exactly 1 for no cut. Floats holds as many floats as
    // Vec holds doubles.
    template <typename Floats>
    [[gnu::always_inline]] static inline Floats amplitudes (Floats gainDb) noexcept
    {
        const Vec x = __builtin_convertvector (gainDb, Vec) * splat (kLn10Over40);
        const Floats amplitude = __builtin_convertvector (exp (x), Floats);
        return gainDb == Floats {} ? Floats {} + 1.0f : amplitude;
    }

    // amplitudes (gainDb[i] * weight) for count gains, a multiple of the width;
    // returns whether every product lay in [-kMaxCutDb, 0], the gains whose
    // amplitudes were checked against std::exp.
    template <typename Floats>
    [[gnu::always_inline]] static inline bool amplitudes (const float* gainDb, float weight, float* amplitude, int count) noexcept
    {
        constexpr int kWidth = (int) (sizeof (Floats) / sizeof (float));
        using FloatMask = decltype (Floats {} < Floats {});

        FloatMask checked = FloatMask {} - 1;
        for (int i = 0; i < count; i += kWidth)
        {
            Floats g;
            __builtin_memcpy (&g, gainDb + i, sizeof (g));
            g = g * weight;
            checked &= (g >= Floats {} - kMaxCutDb) & (g <= Floats {}); // NaN fails both
            const Floats a = amplitudes (g);
            __builtin_memcpy (amplitude + i, &a, sizeof (a));
        }

        bool all = true;
        for (int k = 0; k < kWidth; ++k)
            all = all && checked[k] != 0;
        return all;
    }
};

} // namespace
} // namespace vo::plugins::zel
