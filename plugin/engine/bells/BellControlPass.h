#pragma once

// The control's per-tick work on all 64 bells at once, for one vector width:
// BellControl's own decisions (see BellControl.cpp), written as selects over
// whole vectors of bells instead of a branch per bell. Each kernel translation
// unit includes this once and is compiled for its own instruction set, so
// everything here has internal linkage and calls nothing from the standard
// library (see bells/wavefront/WavefrontShape.h).
//
// Every lane performs the plain version's operations on the same values, so
// the records come out bit for bit the same; the engine builds with
// -ffp-contract=off, so nothing fuses a multiply into an add.

#include "BandLayout.h"
#include "bells/BellLanes.h"
#include "kernels/BellVectorTypes.h"

#if defined(__AVX2__)
 #include <immintrin.h>
#endif

namespace vo::plugins::zel
{
namespace
{

template <int W>
struct ControlPass
{
    using Vec = typename VectorTypes<W>::Vec;
    using Mask = typename VectorTypes<W>::Mask;
    using Floats = typename VectorTypes<W>::Floats;
    using FloatMask = typename VectorTypes<W>::FloatMask;
    using Bytes = typename VectorTypes<W>::Bytes;

    static constexpr int kCount = BellRecords::kCount;
    static constexpr double kQ = kBellQ;
    static constexpr double kRampSamples = 32.0;

    template <typename V, typename T>
    static V load (const T* p) noexcept
    {
        V v;
        __builtin_memcpy (&v, p, sizeof (V));
        return v;
    }

    template <typename V, typename T>
    static void store (T* p, V v) noexcept
    {
        __builtin_memcpy (p, &v, sizeof (V));
    }

    // Conversions between lane sizes. GCC 12 takes the wider ones apart a
    // half or a lane at a time (bytes even through the general registers),
    // where AVX2 and AVX-512 have one instruction (or two) for each. The
    // zero-masking forms with every lane set are the same instructions; the
    // plain ones start from an undefined register that GCC 12 warns about.
#if defined(__AVX512F__)
    static constexpr __mmask8 kAll = 0xff;
#endif
    static Mask loadFlags (const bool* p) noexcept
    {
#if defined(__AVX512F__)
        if constexpr (W == 8)
            return (Mask) _mm512_maskz_cvtepi8_epi64 (kAll, _mm_cvtsi64_si128 (load<long long> (p))) != 0;
#endif
#if defined(__AVX2__)
        if constexpr (W == 4)
            return (Mask) _mm256_cvtepi8_epi64 (_mm_cvtsi32_si128 (load<int> (p))) != 0;
#endif
        return __builtin_convertvector (load<Bytes> (p), Mask) != 0;
    }

    static void storeFlags (bool* p, Mask m) noexcept
    {
#if defined(__AVX512F__)
        if constexpr (W == 8)
        {
            store (p, _mm_cvtsi128_si64 (_mm512_maskz_cvtepi64_epi8 (kAll, (__m512i) (m & 1))));
            return;
        }
#endif
#if defined(__AVX2__)
        if constexpr (W == 4)
        {
            // Each of the four sign bits to the lowest bit of its own byte:
            // the multiplier's shifted copies never overlap, so nothing carries.
            const auto bits = (unsigned) _mm256_movemask_pd ((__m256d) m);
            store (p, (bits * 0x00204081u) & 0x01010101u);
            return;
        }
#endif
        store (p, __builtin_convertvector (m & 1, Bytes));
    }

    static Mask widen (FloatMask m) noexcept
    {
#if defined(__AVX512F__)
        if constexpr (W == 8)
            return (Mask) _mm512_maskz_cvtepi32_epi64 (kAll, (__m256i) m);
#endif
#if defined(__AVX2__)
        if constexpr (W == 4)
            return (Mask) _mm256_cvtepi32_epi64 ((__m128i) m);
#endif
        return __builtin_convertvector (m, Mask);
    }

    static FloatMask narrow (Mask m) noexcept
    {
#if defined(__AVX512F__)
        if constexpr (W == 8)
            return (FloatMask) _mm512_maskz_cvtepi64_epi32 (kAll, (__m512i) m);
#endif
#if defined(__AVX2__)
        if constexpr (W == 4)
            return (FloatMask) _mm256_castsi256_si128 (_mm256_permutevar8x32_epi32 ((__m256i) m, _mm256_setr_epi32 (0, 2, 4, 6, 0, 2, 4, 6)));
#endif
        return __builtin_convertvector (m, FloatMask);
    }

    static Vec toDoubles (Floats f) noexcept
    {
#if defined(__AVX512F__)
        if constexpr (W == 8)
            return _mm512_maskz_cvtps_pd (kAll, (__m256) f);
#endif
#if defined(__AVX2__)
        if constexpr (W == 4)
            return _mm256_cvtps_pd ((__m128) f);
#endif
        return __builtin_convertvector (f, Vec);
    }

    static void apply (BellAmplitudeStep& step) noexcept
    {
        BellRecords& b = *step.bells;

        // Tallies stay in vectors until the end: a lane's changed bits, its
        // counts of started and running ramps, whether it saw only unity.
        Mask lane {};
        for (int j = 0; j < W; ++j)
            lane[j] = j;
        Mask changed {}, started {}, active {}, allUnity = Mask {} - 1;

        for (int i = 0; i < kCount; i += W)
        {
            const Floats t = load<Floats> (step.target + i);
            const Floats last = load<Floats> (step.last + i);
            const Floats A = load<Floats> (b.A + i);
            const Mask ramping = loadFlags (b.ramping + i);

            // The design for the new amplitude: k = 1 / (A Q), the band-pass
            // mix exactly zero at unity, a1 = 1 / ((g + k) g + 1).
            const Vec amp = toDoubles (t);
            const Vec g = load<Vec> (b.g + i);
            const Vec k = 1.0 / (amp * kQ);
            const Mask unity = widen (t == 1.0f);
            const Vec m1 = unity ? Vec {} : (amp * amp - 1.0) * k;
            const Vec a1 = 1.0 / ((g + k) * g + 1.0);
            const Vec a2 = a1 * g;
            const Vec a3 = a2 * g;

            // Which bells take it at once, which ramp, which stay.
            const Floats diff = t - last;
            const Floats size = diff < 0.0f ? -diff : diff;
            const Mask moved = widen (t != last);
            const Mask small = widen (size < 1e-4f);
            const Mask already = widen (A == t) & ~ramping;
            const Mask now = moved & small & ~already;
            const Mask ramp = moved & ~small & ~already;
            const Mask stop = now & ramping;

            const Vec m1Old = load<Vec> (b.m1 + i);
            const Vec a1Old = load<Vec> (b.a1 + i);
            store (b.k + i, now ? k : load<Vec> (b.k + i));
            store (b.m1 + i, now ? m1 : m1Old);
            store (b.a1 + i, now ? a1 : a1Old);
            store (b.a2 + i, now ? a2 : load<Vec> (b.a2 + i));
            store (b.a3 + i, now ? a3 : load<Vec> (b.a3 + i));

            store (b.kTarget + i, ramp ? k : load<Vec> (b.kTarget + i));
            store (b.m1Target + i, ramp ? m1 : load<Vec> (b.m1Target + i));
            store (b.a1Target + i, ramp ? a1 : load<Vec> (b.a1Target + i));
            store (b.dm1 + i, ramp ? (m1 - m1Old) / kRampSamples : stop ? Vec {} : load<Vec> (b.dm1 + i));
            store (b.da1 + i, ramp ? (a1 - a1Old) / kRampSamples : stop ? Vec {} : load<Vec> (b.da1 + i));

            const FloatMask takes = narrow (now | ramp);
            store (b.A + i, takes ? t : A);
            store (step.last + i, narrow (moved) ? t : last);

            const Mask running = (ramping & ~now) | ramp;
            storeFlags (b.ramping + i, running);

            changed |= ((now | ramp) & 1) << (lane + i);
            started += ramp & 1;
            active += running & 1;
            allUnity &= unity;
        }

        step.changed = 0;
        step.started = step.active = 0;
        step.allUnity = true;
        for (int j = 0; j < W; ++j)
        {
            step.changed |= (unsigned long long) changed[j];
            step.started += (int) started[j];
            step.active += (int) active[j];
            step.allUnity = step.allUnity && allUnity[j] != 0;
        }
    }

    // The schedule of the tick the records have just set up, in lane order
    // (lane 2 * band + set): each bell's start, its steps and where it lands,
    // or zero steps and its own values when it does not ramp. W bands of
    // each set at a time, interleaved into two vectors of lanes.
    // W bands of each set from `band` on, interleaved into lane order.
    static void putLanes (double* dest, int band, Vec setA, Vec setB) noexcept
    {
        if constexpr (W == 2)
        {
            store (dest + 2 * band, __builtin_shufflevector (setA, setB, 0, 2));
            store (dest + 2 * band + W, __builtin_shufflevector (setA, setB, 1, 3));
        }
        else if constexpr (W == 4)
        {
            store (dest + 2 * band, __builtin_shufflevector (setA, setB, 0, 4, 1, 5));
            store (dest + 2 * band + W, __builtin_shufflevector (setA, setB, 2, 6, 3, 7));
        }
        else
        {
            store (dest + 2 * band, __builtin_shufflevector (setA, setB, 0, 8, 1, 9, 2, 10, 3, 11));
            store (dest + 2 * band + W, __builtin_shufflevector (setA, setB, 4, 12, 5, 13, 6, 14, 7, 15));
        }
    }

    static void schedule (const BellRecords& b, BellTick& tick) noexcept
    {
        constexpr int kBands = kCount / 2;

        for (int band = 0; band < kBands; band += W)
        {
            const int other = kBands + band;
            const Mask rampA = loadFlags (b.ramping + band), rampB = loadFlags (b.ramping + other);

            const auto put = [band] (double* dest, Vec setA, Vec setB) { putLanes (dest, band, setA, setB); };
            const auto ramped = [&] (double* dest, const double* rampValue, const double* stillValue)
            {
                put (dest, rampA ? load<Vec> (rampValue + band) : load<Vec> (stillValue + band),
                     rampB ? load<Vec> (rampValue + other) : load<Vec> (stillValue + other));
            };

            put (tick.startA1, load<Vec> (b.a1 + band), load<Vec> (b.a1 + other));
            put (tick.startM1, load<Vec> (b.m1 + band), load<Vec> (b.m1 + other));
            put (tick.da1, rampA ? load<Vec> (b.da1 + band) : Vec {}, rampB ? load<Vec> (b.da1 + other) : Vec {});
            put (tick.dm1, rampA ? load<Vec> (b.dm1 + band) : Vec {}, rampB ? load<Vec> (b.dm1 + other) : Vec {});
            ramped (tick.landA1, b.a1Target, b.a1);
            ramped (tick.landM1, b.m1Target, b.m1);
        }
    }

    // Every bell's coefficients in lane order, then the schedule of the tick
    // they start.
    static void mirror (const BellRecords& b, BellLanes& lanes, BellTick& tick) noexcept
    {
        constexpr int kBands = kCount / 2;

        for (int band = 0; band < kBands; band += W)
        {
            const auto copy = [band] (double* dest, const double* src) { putLanes (dest, band, load<Vec> (src + band), load<Vec> (src + kBands + band)); };
            copy (lanes.g, b.g);
            copy (lanes.a1, b.a1);
            copy (lanes.a2, b.a2);
            copy (lanes.a3, b.a3);
            copy (lanes.m1, b.m1);
        }
        schedule (b, tick);
    }

    // Every running ramp lands on its targets; the other bells select their
    // own values.
    static void land (BellRecords& b) noexcept
    {
        for (int i = 0; i < kCount; i += W)
        {
            const Mask r = loadFlags (b.ramping + i);
            const Vec g = load<Vec> (b.g + i);
            const Vec a1 = r ? load<Vec> (b.a1Target + i) : load<Vec> (b.a1 + i);
            const Vec a2 = g * a1;
            store (b.k + i, r ? load<Vec> (b.kTarget + i) : load<Vec> (b.k + i));
            store (b.m1 + i, r ? load<Vec> (b.m1Target + i) : load<Vec> (b.m1 + i));
            store (b.a1 + i, a1);
            store (b.a2 + i, r ? a2 : load<Vec> (b.a2 + i));
            store (b.a3 + i, r ? g * a2 : load<Vec> (b.a3 + i));
            store (b.dm1 + i, r ? Vec {} : load<Vec> (b.dm1 + i));
            store (b.da1 + i, r ? Vec {} : load<Vec> (b.da1 + i));
            storeFlags (b.ramping + i, Mask {});
        }
    }
};

} // namespace
} // namespace vo::plugins::zel
