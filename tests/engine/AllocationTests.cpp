// Proves the audio-thread operations allocate nothing and lock nothing once
// prepared, counted by the test support's allocation and lock hooks.

#include "CarveEngine.h"

#include "engine/EngineTestSupport.h"
#include "support/AudioThreadGuard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>

namespace vo::test
{
using namespace vo::plugins::zel;
namespace
{

using vo::test::AudioThreadGuard;

// Keeps the compiler from eliding the allocations the guard must see.
void* volatile escape = nullptr;

struct alignas (64) OverAligned
{
    float values[16];
};

TEST (AudioThreadAllocation, TheCountersSeeAllocations)
{
    AudioThreadGuard guard;
    auto plain = std::make_unique<int> (3);
    escape = plain.get();
    auto aligned = std::make_unique<OverAligned>();
    escape = aligned.get();
    if (AudioThreadGuard::countsMallocAndLocks())
    {
        void* q = std::malloc (16);
        escape = q;
        std::free (q);
        // operator new counts itself and the malloc under it; aligned new counts once.
        EXPECT_EQ (guard.allocations(), 4u);
    }
    else
    {
        EXPECT_EQ (guard.allocations(), 2u);
    }
}

// Every block size and rate, with settings that touch every stage: mode and pan
// changes, range changes, freeze, audition fades, curve loads, display reads,
// a bad block and both sidechain layouts.
TEST (AudioThreadAllocation, ProcessAndSetSettingsAllocateNothingAfterPrepare)
{
    const int blockSizes[] = { 1, 2, 7, 31, 32, 33, 45, 64, 100, 511, 512, 1024, 4096 };
    const double rates[] = { 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 };

    for (double rate : rates)
    {
        for (int blockSize : blockSizes)
        {
            CarveEngine engine;
            engine.prepare (rate, blockSize);

            const int total = std::max (4 * 2048 + 64, 4 * blockSize);
            AudioBuffer main (3, total), sidechain (2, total);
            fillNoise (main.channel (0), total, 0.5f, 1);
            fillNoise (main.channel (1), total, 0.5f, 2);
            fillNoise (sidechain.channel (0), total, 0.8f, 3);
            fillNoise (sidechain.channel (1), total, 0.8f, 4);
            main[0][(size_t) total / 2] = std::numeric_limits<float>::quiet_NaN();

            std::array<float, kBandCount> curve {};
            curve.fill (-6.0f);
            DisplayFrame frame;

            size_t seen = 0, locks = 0;
            {
                AudioThreadGuard guard;
                int block = 0;
                for (int offset = 0; offset < total; offset += blockSize, ++block)
                {
                    EngineSettings s = carveSettings (1.0f, 0.3f);
                    s.mode = (block / 7) % 2;
                    s.pan = (float) ((block / 5) % 3 - 1) * 0.5f;
                    s.lowCut = (block / 11) % 2 == 0 ? 20.0f : 2.0f;
                    s.highCut = (block / 13) % 2 == 0 ? 20000.0f : 3000.0f;
                    s.freeze = (block / 17) % 2 == 1;
                    s.scAudition = (block / 3) % 4 == 1;
                    s.attack = (block / 19) % 2 == 0 ? 10.0f : 1.0f;
                    engine.setSettings (s);

                    if (block % 23 == 5)
                        engine.loadCutCurve (curve.data());
                    curve = engine.getCutCurve();

                    const int n = std::min (blockSize, total - offset);
                    float* m[3] = { main.channel (0) + offset, main.channel (1) + offset, main.channel (2) + offset };
                    float* sc[2] = { sidechain.channel (0) + offset, sidechain.channel (1) + offset };
                    const int scChannels = (block / 29) % 3; // none, mono, stereo
                    engine.process (m, 3, scChannels > 0 ? sc : nullptr, scChannels, n);
                    engine.readDisplayFrame (frame);
                }
                seen = guard.allocations();
                locks = guard.locks();
            }
            EXPECT_EQ (seen, 0u) << "rate " << rate << ", block size " << blockSize;
            EXPECT_EQ (locks, 0u) << "rate " << rate << ", block size " << blockSize;
        }
    }
}

} // namespace
} // namespace vo::test
