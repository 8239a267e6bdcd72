// The engine's block loops must compute exactly what their per-sample
// counterparts compute: same states, same bits.

#include "analysis/SidechainAnalyser.h"
#include "audition/SvfFilter.h"

#include "engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace vo::test
{
using namespace vo::plugins::zel;
namespace
{

TEST (BlockPaths, AuditionCascadeMatchesSampleBySample)
{
    std::mt19937 rng (3);
    std::uniform_int_distribution<int> length (1, 300);

    for (double rate : { 44100.0, 96000.0 })
    {
        SvfFilter hp[2], lp[2];
        for (auto* set : { hp, lp })
            for (int i = 0; i < 2; ++i)
                set[i].setSampleRate (rate);
        for (int i = 0; i < 2; ++i)
        {
            hp[i].setType (SvfFilter::highPass);
            hp[i].setCutoff (120.0f);
            hp[i].setQ (0.7071f);
            hp[i].design();
            lp[i].setType (SvfFilter::lowPass);
            lp[i].setCutoff (6000.0f);
            lp[i].setQ (0.7071f);
            lp[i].design();
        }

        for (int block = 0; block < 200; ++block)
        {
            const int n = length (rng);
            std::vector<float> x0 ((size_t) n), x1 ((size_t) n), y0 ((size_t) n), y1 ((size_t) n);
            fillNoise (x0.data(), n, 1.0f, (std::uint32_t) block);
            fillNoise (x1.data(), n, 0.5f, (std::uint32_t) block + 1000u);

            SvfFilter::processCascade (hp[0], lp[0], x0.data(), x1.data(), y0.data(), y1.data(), n);
            for (int i = 0; i < n; ++i)
            {
                const float r0 = lp[1].processSample (hp[1].processSample (x0[(size_t) i], 0), 0);
                const float r1 = lp[1].processSample (hp[1].processSample (x1[(size_t) i], 1), 1);
                ASSERT_EQ (0, std::memcmp (&r0, &y0[(size_t) i], sizeof r0)) << "block " << block << " sample " << i;
                ASSERT_EQ (0, std::memcmp (&r1, &y1[(size_t) i], sizeof r1)) << "block " << block << " sample " << i;
            }
        }
    }
}

TEST (BlockPaths, AnalyserBlockPushMatchesSampleBySample)
{
    std::mt19937 rng (4);
    std::uniform_int_distribution<int> length (1, 700);

    for (double rate : { 44100.0, 96000.0 })
    {
        SidechainAnalyser byBlock, bySample;
        byBlock.prepare (rate);
        bySample.prepare (rate);

        for (int block = 0; block < 150; ++block)
        {
            const bool stereo = block % 5 != 0;
            byBlock.setStereo (stereo);
            bySample.setStereo (stereo);

            const int n = length (rng);
            std::vector<float> x0 ((size_t) n), x1 ((size_t) n);
            fillNoise (x0.data(), n, 1.0f, (std::uint32_t) block);
            fillNoise (x1.data(), n, 0.3f, (std::uint32_t) block + 77u);
            if (block == 40)
                x0[(size_t) (n / 2)] = std::numeric_limits<float>::quiet_NaN();

            bool hopBySample = false;
            for (int i = 0; i < n; ++i)
                hopBySample |= bySample.pushSample (x0[(size_t) i], stereo ? x1[(size_t) i] : 0.0f);
            const bool hopByBlock = byBlock.pushBlock (x0.data(), stereo ? x1.data() : nullptr, n);

            ASSERT_EQ (hopBySample, hopByBlock) << "block " << block;
            ASSERT_EQ (0, std::memcmp (byBlock.getLevels().data(), bySample.getLevels().data(), sizeof (float) * kBandCount))
                << "block " << block;
        }
    }
}

} // namespace
} // namespace vo::test
