// The engine's bank must give the reference bank's output bit for bit, with
// every kernel this CPU can run: long randomized runs through the bank's own
// interface and through the whole engine.

#include "bells/BellBank.h"
#include "CarveEngine.h"
#include "reference/EngineProbe.h"
#include "reference/ReferenceBellBank.h"

#include "engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace vo::test
{
using namespace vo::plugins::zel;
namespace
{

using Amplitudes = ReferenceBellBank::Amplitudes;

float amplitudeForDb (float db) { return (float) std::exp ((double) db * 0.057564627324851146); }

bool sameBits (double a, double b) { return std::memcmp (&a, &b, sizeof a) == 0; }

// What the engine and the tests can observe of a bank besides its audio.
void expectSameControlState (const ReferenceBellBank& reference, const BellBank& candidate, const std::string& where)
{
    ASSERT_EQ (reference.isFlat(), candidate.isFlat()) << where;
    ASSERT_EQ (reference.isRamping(), candidate.isRamping()) << where;
    ASSERT_EQ (reference.getActiveCount(), candidate.getActiveCount()) << where;
    ASSERT_EQ (reference.getRampsStarted(), candidate.getRampsStarted()) << where;

    for (int i = 0; i < ReferenceBellBank::kFilterCount; ++i)
    {
        const auto& r = reference.getFilter (i);
        const auto& c = candidate.getFilter (i);
        ASSERT_TRUE (sameBits (r.a1, c.a1) && sameBits (r.a2, c.a2) && sameBits (r.a3, c.a3) && sameBits (r.m1, c.m1)
                     && sameBits (r.k, c.k) && r.A == c.A && r.ramping == c.ramping)
            << where << ", filter " << i;
    }
}

// Both banks side by side, given the same amplitudes and audio from one
// seeded generator.
class BankPair
{
public:
    BankPair (BellKernel kernel, double sampleRate, std::uint32_t seed) : rng (seed)
    {
        candidate.setKernel (kernel);
        reference.prepareFilters (sampleRate);
        candidate.prepareFilters (sampleRate);
        for (auto& set : amplitudes)
            set.fill (1.0f);
    }

    int pick (int low, int high) { return std::uniform_int_distribution<int> (low, high) (rng); }

    // One mood in lastMood + 1 keeps every bell still and one moves them all;
    // otherwise about movingShare bells in 20 get a real change (a ramp), a
    // few are nudged by less than a ramp needs, and one in 20 goes flat.
    void changeAmplitudes (int lastMood, int movingShare)
    {
        const int mood = pick (0, lastMood);
        if (mood == 0)
            return;

        std::uniform_real_distribution<float> depth (-30.0f, 0.0f);
        for (auto& set : amplitudes)
        {
            for (auto& amp : set)
            {
                const int choice = pick (0, 19);
                if (choice < (mood == 1 ? 20 : movingShare))
                    amp = amplitudeForDb (depth (rng));
                else if (choice < movingShare + 3)
                    amp = std::min (1.0f, amp + (pick (0, 1) == 0 ? 3e-5f : -3e-5f));
                else if (choice == movingShare + 3)
                    amp = 1.0f;
            }
        }
    }

    std::mt19937 rng;
    ReferenceBellBank reference;
    BellBank candidate;
    Amplitudes amplitudes {};
    std::vector<float> refLeft, refRight, candLeft, candRight;
};

class Driver : public BankPair
{
public:
    using BankPair::BankPair;

    // One tick: new amplitudes, then the tick's samples in random pieces with
    // a random layout; now and then the interruptions the engine can cause.
    void tick (int t)
    {
        const auto where = "tick " + std::to_string (t);
        changeAmplitudes (9, 5);

        const int event = pick (0, 99);
        if (event == 0)
        {
            reference.resetFilters();
            candidate.resetFilters();
            for (auto& set : amplitudes)
                set.fill (1.0f);
        }

        reference.applyAmplitudes (amplitudes);
        candidate.applyAmplitudes (amplitudes);
        expectSameControlState (reference, candidate, where + " after applyAmplitudes");

        // Layouts change between ticks here far more often than the engine
        // changes them; the bank must not care.
        const int layout = pick (0, 2);                 // stereo, mid/side, mono
        const int length = pick (0, 9) == 0 ? pick (1, 31) : 32;
        fillInput (length);

        for (int offset = 0; offset < length;)
        {
            const int n = std::min (length - offset, pick (0, 3) == 0 ? 32 : pick (1, 12));
            const bool write = pick (0, 7) != 0;

            if (pick (0, 150) == 0)
            {
                // A mode switch: clean states, running ramps complete at once.
                reference.resetStates();
                candidate.resetStates();
            }

            float* r1 = layout < 2 ? refRight.data() + offset : nullptr;
            float* c1 = layout < 2 ? candRight.data() + offset : nullptr;
            reference.process (refLeft.data() + offset, r1, n, layout == 1, write);
            candidate.process (candLeft.data() + offset, c1, n, layout == 1, write);

            ASSERT_EQ (0, std::memcmp (refLeft.data() + offset, candLeft.data() + offset, sizeof (float) * (size_t) n))
                << where << ", offset " << offset << ", layout " << layout;
            ASSERT_EQ (0, std::memcmp (refRight.data() + offset, candRight.data() + offset, sizeof (float) * (size_t) n))
                << where << ", offset " << offset << ", layout " << layout;
            offset += n;
        }

        expectSameControlState (reference, candidate, where + " after the samples");
    }

private:
    void fillInput (int length)
    {
        std::uniform_real_distribution<float> unit (-1.0f, 1.0f);
        const int kind = pick (0, 9);
        const float scale = kind == 0 ? 0.0f : kind == 1 ? 1e-30f : kind == 2 ? 8.0f : 1.0f;

        for (auto* v : { &refLeft, &refRight })
        {
            v->resize (32);
            for (int i = 0; i < 32; ++i)
                (*v)[(size_t) i] = i < length ? unit (rng) * scale : 0.0f;
        }
        candLeft = refLeft;
        candRight = refRight;
    }
};

// Every check below runs once per kernel this CPU has, each kernel with the
// seeds it had when one loop took them all in turn.
class EveryKernel : public ::testing::TestWithParam<BellKernel>
{
protected:
    // The kernel's place among those this CPU runs.
    static std::uint32_t kernelIndex()
    {
        const auto kernels = availableKernels();
        return (std::uint32_t) (std::find (kernels.begin(), kernels.end(), GetParam()) - kernels.begin());
    }
};

std::string nameOf (const ::testing::TestParamInfo<BellKernel>& info)
{
    return nameOfKernel (info.param);
}

std::vector<BellKernel> vectorKernels()
{
    auto kernels = availableKernels();
    kernels.erase (std::remove (kernels.begin(), kernels.end(), BellKernel::scalar), kernels.end());
    return kernels;
}

TEST_P (EveryKernel, MatchesTheReferenceOverLongRandomRuns)
{
    constexpr double kRates[] = { 44100.0, 48000.0, 96000.0, 22050.0, 192000.0 };
    std::uint32_t seed = 100 + kernelIndex() * (std::uint32_t) std::size (kRates);
    for (double rate : kRates)
    {
        SCOPED_TRACE (rate);
        Driver driver (GetParam(), rate, ++seed);
        for (int t = 0; t < 1500; ++t)
        {
            driver.tick (t);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}

// Queued audio: many ticks wait in the bank and run as one wavefront, with
// their coefficient schedules fixed tick by tick. The queue must give the
// reference's bits whatever the tick lengths (full ticks, ticks cut short,
// ticks split into pieces), layouts, resets and flush points, and the control
// state must match whenever the queue has run.
class QueueDriver : public BankPair
{
public:
    QueueDriver (BellKernel kernel, double sampleRate, std::uint32_t seed) : BankPair (kernel, sampleRate, seed)
    {
        refLeft.assign (kCapacity, 0.0f);
        refRight.assign (kCapacity, 0.0f);
    }

    // A stretch of ticks queued into one buffer, then flushed and compared.
    void stretch (int s)
    {
        const auto where = "stretch " + std::to_string (s);
        const int layout = pick (0, 5) == 0 ? 2 : pick (0, 1);   // stereo, mid/side, mono (rarer: it changes the queue)
        const int ticks = pick (1, 40);
        int used = 0;

        std::uniform_real_distribution<float> unit (-1.0f, 1.0f);
        for (auto& x : refLeft)
            x = unit (rng);
        for (auto& x : refRight)
            x = unit (rng);
        candLeft = refLeft;
        candRight = refRight;

        for (int t = 0; t < ticks && used < kCapacity; ++t)
        {
            changeAmplitudes (5, 3);
            reference.applyAmplitudes (amplitudes);
            candidate.applyAmplitudes (amplitudes);

            // Mostly full ticks, as the engine runs them; now and then one cut
            // short or run long, which the queue has to notice.
            const int roll = pick (0, 19);
            const int length = std::min (kCapacity - used, roll == 0 ? pick (1, 31) : roll == 1 ? pick (33, 70) : 32);

            for (int offset = 0; offset < length;)
            {
                const int n = std::min (length - offset, pick (0, 2) == 0 ? length : pick (1, 12));
                const bool write = pick (0, 9) != 0;
                float* r1 = layout < 2 ? refRight.data() + used + offset : nullptr;
                float* c1 = layout < 2 ? candRight.data() + used + offset : nullptr;
                reference.process (refLeft.data() + used + offset, r1, n, layout == 1, write);
                candidate.enqueue (candLeft.data() + used + offset, c1, n, layout == 1, write);
                offset += n;
            }

            used += length;

            if (pick (0, 60) == 0)
            {
                reference.resetStates();
                candidate.resetStates();
            }
        }

        candidate.flush();
        ASSERT_EQ (0, candidate.getQueuedSamples()) << where;
        ASSERT_EQ (0, std::memcmp (refLeft.data(), candLeft.data(), sizeof (float) * (size_t) used)) << where << ", layout " << layout;
        ASSERT_EQ (0, std::memcmp (refRight.data(), candRight.data(), sizeof (float) * (size_t) used)) << where << ", layout " << layout;
        expectSameControlState (reference, candidate, where);

        if (pick (0, 30) == 0)
        {
            reference.resetFilters();
            candidate.resetFilters();
            for (auto& set : amplitudes)
                set.fill (1.0f);
        }
    }

private:
    static constexpr int kCapacity = 1500;
};

TEST_P (EveryKernel, QueuedTicksMatchTheReference)
{
    constexpr double kRates[] = { 44100.0, 48000.0, 96000.0 };
    std::uint32_t seed = 300 + kernelIndex() * (std::uint32_t) std::size (kRates);
    for (double rate : kRates)
    {
        SCOPED_TRACE (rate);
        QueueDriver driver (GetParam(), rate, ++seed);
        for (int s = 0; s < 120; ++s)
        {
            driver.stretch (s);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P (BellBankEquivalence, EveryKernel, ::testing::ValuesIn (availableKernels()), nameOf);

//==============================================================================
// The whole engine, kernels side by side: the same random session must give
// the same output bits. The scalar kernel is the reference's chain (held to
// ReferenceBellBank above), so every kernel is held to the reference too.

struct Session
{
    Session (std::uint32_t seed, bool busySession) : rng (seed), busy (busySession) {}

    int pick (int low, int high) { return std::uniform_int_distribution<int> (low, high) (rng); }
    float uniform (float low, float high) { return std::uniform_real_distribution<float> (low, high) (rng); }

    EngineSettings randomSettings()
    {
        EngineSettings s = plainSettings();
        if (busy)
        {
            // Every band's cut moving on every tick: all the bells ramp.
            s.attack = s.release = 0.5f;
            s.amount = 1.0f;
            s.freeze = false;
            s.scAudition = false;
            s.lowCut = 20.0f;
            s.highCut = 20000.0f;
        }
        return s;
    }

    EngineSettings plainSettings()
    {
        EngineSettings s;
        s.amount = pick (0, 5) == 0 ? 0.0f : uniform (0.0f, 1.0f);
        s.lowCut = pick (0, 2) == 0 ? 20.0f : uniform (20.0f, 2000.0f);
        s.highCut = pick (0, 2) == 0 ? 20000.0f : uniform (1000.0f, 20000.0f);
        s.freeze = pick (0, 5) == 0;
        s.attack = uniform (0.5f, 50.0f);
        s.release = uniform (0.5f, 400.0f);
        s.mode = pick (0, 1);
        s.pan = pick (0, 2) == 0 ? 0.0f : uniform (-1.0f, 1.0f);
        s.scAudition = pick (0, 7) == 0;
        s.smooth = uniform (0.0f, 1.0f);
        return s;
    }

    std::mt19937 rng;
    bool busy = false;
};

void expectEnginesAgree (BellKernel kernel, std::uint32_t seed, bool busy = false)
{
    Session session (seed, busy);
    CarveEngine reference, candidate;
    EngineProbe::cutBank (reference).getBells().setKernel (BellKernel::scalar);
    EngineProbe::cutBank (candidate).getBells().setKernel (kernel);

    const double rates[] = { 44100.0, 48000.0, 96000.0 };
    for (int run = 0; run < 3; ++run)
    {
        const double rate = rates[session.pick (0, 2)];
        const int maxBlock = session.pick (0, 1) == 0 ? 512 : session.pick (1, 700);
        reference.prepare (rate, maxBlock);
        candidate.prepare (rate, maxBlock);

        const int mainChannels = session.pick (0, 4) == 0 ? 1 : 2;
        const int sidechainChannels = session.pick (0, 2);
        std::vector<float> refMain[2], candMain[2], side[2];
        for (auto* set : { &refMain, &candMain, &side })
            for (auto& ch : *set)
                ch.resize ((size_t) maxBlock);

        auto settings = session.randomSettings();
        double phase = 0.0;
        float busyLevel = 0.5f;
        int done = 0;
        const int total = (int) (rate * 1.5);

        while (done < total)
        {
            if (session.pick (0, 15) == 0)
            {
                settings = session.randomSettings();
                reference.setSettings (settings);
                candidate.setSettings (settings);
            }
            else if (done == 0)
            {
                reference.setSettings (settings);
                candidate.setSettings (settings);
            }

            if (session.pick (0, 400) == 0)
            {
                const auto curve = reference.getCutCurve();
                reference.loadCutCurve (curve.data());
                candidate.loadCutCurve (curve.data());
            }

            const int n = session.pick (0, 3) == 0 ? maxBlock : session.pick (1, maxBlock);
            const float level = session.pick (0, 9) == 0 ? 0.0f : session.uniform (0.01f, 1.0f);
            const double freq = 30.0 * std::pow (600.0, (double) session.uniform (0.0f, 1.0f));
            for (int i = 0; i < n; ++i)
            {
                // Busy sessions jump the level now and then, so the cut keeps moving.
                if (busy && session.pick (0, 255) == 0)
                    busyLevel = session.uniform (0.0f, 1.0f);
                phase += 2.0 * 3.141592653589793 * freq / rate;
                const float tone = (busy ? busyLevel : level) * (float) std::sin (phase);
                side[0][(size_t) i] = tone + session.uniform (-0.05f, 0.05f);
                side[1][(size_t) i] = 0.5f * tone + session.uniform (-0.05f, 0.05f);
                refMain[0][(size_t) i] = session.uniform (-0.5f, 0.5f) + 0.3f * tone;
                refMain[1][(size_t) i] = session.uniform (-0.5f, 0.5f);
            }

            // Now and then a NaN: the block goes silent and the bank starts over.
            if (session.pick (0, 500) == 0)
                refMain[0][(size_t) session.pick (0, n - 1)] = std::numeric_limits<float>::quiet_NaN();

            for (int c = 0; c < 2; ++c)
                std::copy (refMain[c].begin(), refMain[c].begin() + n, candMain[c].begin());

            float* rm[2] = { refMain[0].data(), refMain[1].data() };
            float* cm[2] = { candMain[0].data(), candMain[1].data() };
            float* sc[2] = { side[0].data(), side[1].data() };
            reference.process (rm, mainChannels, sidechainChannels > 0 ? sc : nullptr, sidechainChannels, n);
            candidate.process (cm, mainChannels, sidechainChannels > 0 ? sc : nullptr, sidechainChannels, n);

            for (int c = 0; c < mainChannels; ++c)
                ASSERT_EQ (0, std::memcmp (refMain[c].data(), candMain[c].data(), sizeof (float) * (size_t) n))
                    << "run " << run << ", sample " << done << ", channel " << c;

            ASSERT_EQ (EngineProbe::cutBank (reference).isFlat(), EngineProbe::cutBank (candidate).isFlat());
            ASSERT_EQ (reference.getCutCurve(), candidate.getCutCurve());
            done += n;
        }
    }
}

// The whole engine with every vector kernel against its plain chain.
class WholeEngine : public ::testing::TestWithParam<BellKernel>
{
protected:
    void expectAgreement (std::initializer_list<std::uint32_t> seeds, bool everyBellRamping)
    {
        for (std::uint32_t seed : seeds)
        {
            expectEnginesAgree (GetParam(), seed, everyBellRamping);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
};

TEST_P (WholeEngine, GivesTheSameBits)
{
    expectAgreement ({ 7u, 8u }, false);
}

TEST_P (WholeEngine, WithEveryBellRampingGivesTheSameBits)
{
    expectAgreement ({ 11u, 12u }, true);
}

INSTANTIATE_TEST_SUITE_P (BellBankEquivalence, WholeEngine, ::testing::ValuesIn (vectorKernels()), nameOf);
// A build without vector kernels has nothing to compare.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST (WholeEngine);

} // namespace
} // namespace vo::test
