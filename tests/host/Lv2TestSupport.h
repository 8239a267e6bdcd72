#pragma once

// What both LV2 host suites share: where the bundle under test is, the test
// signals, a tone's level in a rendered signal, and a way to run a hosting
// scenario in a child process.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace vo::test
{
constexpr double kSampleRate = 48000.0;
constexpr double kPi = 3.14159265358979323846;

// Bands the tests play in: the carve lands on the centre of the loudest one.
constexpr int kCarvedBand = 22;
constexpr int kOtherBand = 10;

// At 100 % amount the loudest band is cut by 30 dB at its centre.
constexpr double kFullCutDb = -30.0;
constexpr double kCutToleranceDb = 3.0;
constexpr double kUntouchedToleranceDb = 1.0;

// A second of audio settles attack, release and the analysis window.
constexpr int kSettleSamples = 48000;
constexpr int kMeasureSamples = 16384;

inline double bandCentreHz (int band)
{
    return 20.0 * std::pow (1000.0, (band + 0.5) / 32.0);
}

inline float tone (double hz, float level, long sample)
{
    return level * (float) std::sin (2.0 * kPi * hz * (double) sample / kSampleRate);
}

// The folder that holds ZEL.lv2: the build's own, unless ZEL_LV2_BUNDLE names
// another copy of the bundle (the packaging tests point it at the installed one).
inline std::string bundlePath()
{
    const char* overridden = std::getenv ("ZEL_LV2_BUNDLE");
    return overridden != nullptr && *overridden != 0 ? std::string (overridden) : std::string (ZEL_LV2_PATH);
}

inline std::string bundleFolder()
{
    auto path = bundlePath();
    while (! path.empty() && path.back() == '/')
        path.pop_back();
    return path.substr (0, path.find_last_of ('/'));
}

// Level in dB of the component at `hz` over the last `count` samples
// (Hann-windowed single-bin transform, 0 dB for a full-scale sine).
inline double toneLevelDb (const std::vector<float>& signal, double hz, int count = kMeasureSamples)
{
    const auto start = signal.size() - (size_t) count;
    double re = 0.0, im = 0.0, windowSum = 0.0;
    for (int i = 0; i < count; ++i)
    {
        const double window = 0.5 - 0.5 * std::cos (2.0 * kPi * i / (count - 1));
        const double phase = 2.0 * kPi * hz * (double) (start + (size_t) i) / kSampleRate;
        re += window * signal[start + (size_t) i] * std::cos (phase);
        im += window * signal[start + (size_t) i] * std::sin (phase);
        windowSum += window;
    }
    return 20.0 * std::log10 (2.0 * std::sqrt (re * re + im * im) / windowSum + 1e-12);
}

// Runs a scenario with its failed expectations collected, prints them on
// stderr and returns the exit code for them.
template <typename Scenario>
int reportFailuresOf (Scenario& scenario)
{
    ::testing::TestPartResultArray failures;
    {
        const ::testing::ScopedFakeTestPartResultReporter reporter (
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        scenario();
    }
    for (int i = 0; i < failures.size(); ++i)
    {
        const auto& failure = failures.GetTestPartResult (i);
        std::fprintf (stderr, "%s:%d: %s\n", failure.file_name(), failure.line_number(), failure.message());
    }
    std::fflush (stderr);
    return failures.size() > 0 ? 1 : 0;
}

// Runs a hosting scenario in a child process, so that a crash inside the
// plug-in fails this one test with its signal instead of ending the suite.
// The parent shows what the child reported.
template <typename Scenario>
void runInChild (Scenario scenario)
{
    GTEST_FLAG_SET (death_test_style, "fast");
    EXPECT_EXIT (std::_Exit (reportFailuresOf (scenario)), ::testing::ExitedWithCode (0), "");
}
} // namespace vo::test
