#include "analysis/AlignedFftwPlans.h"

#include <gtest/gtest.h>
#include <juce_dsp/juce_dsp.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <complex>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace vo::test
{
using namespace vo::plugins::zel;
namespace
{

using Complex = std::complex<float>;

// A buffer whose data start either on FFTW's alignment or one float past it,
// so that the same transform runs once on each kind of plan.
struct Buffer
{
    Buffer (size_t floats, bool aligned) : store (floats + 8), data (store.data() + (aligned ? 0 : 1)) {}
    std::vector<float> store;
    float* data;
    Complex* complex() const { return reinterpret_cast<Complex*> (data); }
};

std::vector<float> noise (size_t n, unsigned seed)
{
    std::mt19937 rng (seed);
    std::normal_distribution<float> d;
    std::vector<float> x (n);
    for (auto& v : x)
        v = d (rng);
    return x;
}

// Largest difference over the largest magnitude of the aligned result.
double relativeDifference (const float* a, const float* b, size_t n)
{
    double largest = 0.0, worst = 0.0;
    for (size_t i = 0; i < n; ++i)
    {
        largest = std::max (largest, (double) std::abs (a[i]));
        worst = std::max (worst, (double) std::abs (a[i] - b[i]));
    }
    return worst / largest;
}

constexpr double kTolerance = 1e-5;

TEST (AlignedFftwPlans, EveryFrameworkPlanGetsATwinForItsLifetime)
{
    const int before = AlignedFftwPlans::getTwinCount();
    {
        juce::dsp::FFT fft (11);
        EXPECT_GT (AlignedFftwPlans::getTwinCount(), before);
    }
    EXPECT_EQ (AlignedFftwPlans::getTwinCount(), before);

    std::vector<std::unique_ptr<juce::dsp::FFT>> many;
    for (int i = 0; i < 200; ++i)
        many.push_back (std::make_unique<juce::dsp::FFT> (4 + i % 10));
    many.clear();
    EXPECT_EQ (AlignedFftwPlans::getTwinCount(), before);
}

TEST (AlignedFftwPlans, TwinsComputeTheFrameworksTransforms)
{
    for (int order : { 4, 11, 12, 13 })
    {
        SCOPED_TRACE (order);
        const size_t n = size_t (1) << order;
        juce::dsp::FFT fft (order);
        const auto x = noise (2 * n, (unsigned) order);

        for (bool inverse : { false, true })
        {
            Buffer in[2] { { 2 * n, true }, { 2 * n, false } }, out[2] { { 2 * n, true }, { 2 * n, false } };
            for (auto& b : in)
                std::copy (x.begin(), x.end(), b.data);
            for (int k = 0; k < 2; ++k)
                fft.perform (in[k].complex(), out[k].complex(), inverse);

            EXPECT_LT (relativeDifference (out[0].data, out[1].data, 2 * n), kTolerance) << "inverse " << inverse;
            EXPECT_TRUE (std::equal (x.begin(), x.end(), in[0].data)) << "the input must be kept";
        }

        Buffer real[2] { { 2 * n, true }, { 2 * n, false } };
        for (auto& b : real)
        {
            std::copy (x.begin(), x.begin() + (long) n, b.data);
            fft.performRealOnlyForwardTransform (b.data, true);
        }
        EXPECT_LT (relativeDifference (real[0].data, real[1].data, n + 2), kTolerance);
    }
}

// Transforms look their twin up while other threads make and destroy plans.
TEST (AlignedFftwPlans, TransformsStayRightWhilePlansComeAndGo)
{
    constexpr int kOrder = 11;
    constexpr size_t n = size_t (1) << kOrder;
    juce::dsp::FFT fft (kOrder);
    const auto x = noise (2 * n, 7);

    Buffer in { 2 * n, true }, expected { 2 * n, true };
    std::copy (x.begin(), x.end(), in.data);
    fft.perform (in.complex(), expected.complex(), false);

    std::atomic<bool> stop { false };
    std::atomic<int> rounds { 0 };
    std::thread churn ([&stop, &rounds]
    {
        while (! stop.load())
        {
            juce::dsp::FFT a (10), b (12);
            ++rounds;
        }
    });

    Buffer out { 2 * n, true };
    bool same = true;
    for (int i = 0; (i < 300 || rounds.load() < 50) && same; ++i)
    {
        fft.perform (in.complex(), out.complex(), false);
        same = std::equal (out.data, out.data + 2 * n, expected.data);
    }
    stop = true;
    churn.join();
    EXPECT_TRUE (same);
}

} // namespace
} // namespace vo::test
