#include "CarveEngine.h"
#include "display/DisplayExchange.h"
#include "reference/EngineProbe.h"

#include "engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace vo::test
{
using namespace vo::plugins::zel;
namespace
{

class DisplayPublication : public ::testing::Test
{
protected:
    void SetUp() override
    {
        engine = std::make_unique<CarveEngine>();
        engine->prepare (48000.0, 512);
    }

    // One block of silence with (sidechainChannels = 0: without) a silent sidechain.
    void silentBlock (int sidechainChannels = 2, int n = 64)
    {
        AudioBuffer main (2, n), sidechain (2, n);
        auto m = main.at (0);
        auto s = sidechain.at (0);
        engine->process (m.data(), 2, sidechainChannels > 0 ? s.data() : nullptr, sidechainChannels, n);
    }

    DisplayFrame read()
    {
        DisplayFrame f;
        engine->readDisplayFrame (f);
        return f;
    }

    std::unique_ptr<CarveEngine> engine;
};

TEST_F (DisplayPublication, ReaderBeforeAnyPublicationGetsTheInitialFrame)
{
    const auto f = read();
    EXPECT_EQ (f.serial, 0);
    EXPECT_EQ (f.scLevels[0], -100.0f);
    EXPECT_EQ (f.cut[0], 0.0f);
    EXPECT_EQ (f.lowCut, 20.0f);
    EXPECT_EQ (f.highCut, 20000.0f);
    EXPECT_EQ (f.sampleRate, 48000.0f);
}

TEST_F (DisplayPublication, FirstBlockAfterPreparePublishesAndSilenceThenStaysQuiet)
{
    silentBlock();
    const auto first = read();
    EXPECT_EQ (first.serial, 1);
    EXPECT_EQ (first.status, DisplayFrame::StatusNothingToCut);

    for (int i = 0; i < 40; ++i)
        silentBlock();
    EXPECT_EQ (read().serial, 1);

    // The serial keeps counting across prepare, so a reader that drew serial 1
    // before cannot mistake the first frame at the new rate for an old one.
    engine->prepare (44100.0, 512);
    silentBlock();
    const auto again = read();
    EXPECT_EQ (again.serial, 2);
    EXPECT_EQ (again.sampleRate, 44100.0f);
}

TEST_F (DisplayPublication, StatusBitsCombine)
{
    silentBlock (0);
    EXPECT_EQ (read().status, DisplayFrame::StatusNothingToCut | DisplayFrame::StatusNoSidechainBus);

    EngineSettings s;
    s.freeze = true;
    s.scAudition = true;
    engine->setSettings (s);
    silentBlock (2);
    EXPECT_EQ (read().status, DisplayFrame::StatusFrozen | DisplayFrame::StatusAuditioning | DisplayFrame::StatusNothingToCut);
}

TEST_F (DisplayPublication, LoudSourceClearsNothingToCutAndShowsTheCut)
{
    AudioBuffer main (2, 24000), sidechain (2, 24000);
    fillSine (sidechain.channel (0), 24000, 1000.0, 48000.0, 0.5f);
    engine->setSettings (carveSettings());
    processInBlocks (*engine, main, &sidechain, 512);

    const auto f = read();
    EXPECT_EQ (f.status, 0);
    EXPECT_GT (f.scLevels[18], -10.0f);
    EXPECT_LT (f.cut[18], -20.0f);
    EXPECT_LT (f.bandGains[18], -10.0f);
    EXPECT_NEAR (f.cut[18], EngineProbe::cutBank (*engine).getFollowed()[18], 0.1f);
}

TEST_F (DisplayPublication, TwoPublicationsBetweenReadsReturnTheSecond)
{
    silentBlock();
    const int before = read().serial;

    EngineSettings s;
    s.highCut = 10000.0f;
    engine->setSettings (s);
    silentBlock();
    s.highCut = 5000.0f;
    engine->setSettings (s);
    silentBlock();

    const auto f = read();
    EXPECT_EQ (f.serial, before + 2);
    EXPECT_EQ (f.highCut, 5000.0f);

    // No publication since: the same frame again.
    EXPECT_EQ (read().serial, before + 2);
}

TEST_F (DisplayPublication, FrozenSilentSourceKeepsTheCutAndTheLastLevels)
{
    AudioBuffer main (2, 24000), sidechain (2, 24000);
    fillSine (sidechain.channel (0), 24000, 1000.0, 48000.0, 0.5f);
    auto s = carveSettings();
    engine->setSettings (s);
    processInBlocks (*engine, main, &sidechain, 512);

    s.freeze = true;
    engine->setSettings (s);
    AudioBuffer quietMain (2, 48000), quietSidechain (2, 48000);
    processInBlocks (*engine, quietMain, &quietSidechain, 512);

    const auto f = read();
    EXPECT_EQ (f.status & DisplayFrame::StatusFrozen, DisplayFrame::StatusFrozen);
    EXPECT_LT (f.cut[18], -20.0f);
    for (float l : f.scLevels)
        EXPECT_EQ (l, -100.0f);
}

TEST (DisplayExchangeUnit, PublishedFramesArriveWholeAndInOrder)
{
    DisplayExchange exchange;
    DisplayFrame f;
    for (int i = 1; i <= 5; ++i)
    {
        f.serial = i;
        f.cut.fill ((float) -i);
        exchange.publish (f);
        DisplayFrame out;
        exchange.read (out);
        EXPECT_EQ (out.serial, i);
        EXPECT_EQ (out.cut[31], (float) -i);
    }
}

// Every field of a published frame is derived from its serial, so a frame
// mixed from two publications shows up as an inconsistency.
DisplayFrame frameFor (int serial)
{
    DisplayFrame f;
    for (int b = 0; b < kBandCount; ++b)
    {
        f.scLevels[(size_t) b] = (float) (serial + b);
        f.cut[(size_t) b] = (float) -serial;
        f.bandGains[(size_t) b] = (float) (serial * 2);
    }
    f.lowCut = (float) serial;
    f.highCut = (float) (serial + 1);
    f.sampleRate = (float) (serial + 2);
    f.serial = serial;
    f.status = (std::uint8_t) (serial & 0xff);
    return f;
}

bool isConsistent (const DisplayFrame& f)
{
    if (f.serial == 0)
        return true; // the initial frame
    return f == frameFor (f.serial);
}

TEST (DisplayExchangeThreaded, ReaderNeverSeesATornFrame)
{
    DisplayExchange exchange;
    constexpr int kPublications = 100000;
    std::atomic<bool> done { false };

    std::thread writer ([&] {
        for (int i = 1; i <= kPublications; ++i)
            exchange.publish (frameFor (i));
        done = true;
    });

    int lastSerial = 0, reads = 0, torn = 0, backwards = 0;
    DisplayFrame out;
    while (! done.load() || reads < 10)
    {
        exchange.read (out);
        ++reads;
        torn += isConsistent (out) ? 0 : 1;
        backwards += out.serial < lastSerial ? 1 : 0;
        lastSerial = out.serial;
    }
    writer.join();

    exchange.read (out);
    EXPECT_EQ (torn, 0);
    EXPECT_EQ (backwards, 0);
    EXPECT_EQ (out.serial, kPublications);
}

} // namespace
} // namespace vo::test
