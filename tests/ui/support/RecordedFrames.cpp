#include "RecordedFrames.h"

#include "render/DemoSignals.h"
#include "plugin/engine/CarveEngine.h"

namespace vo::test
{

namespace
{

using plugins::zel::CarveEngine;
using plugins::zel::DisplayFrame;
using plugins::zel::EngineSettings;

constexpr int kBlock = 256;
constexpr double kRecordUntilSeconds = 2.04; // 40 ms after the fifth kick
constexpr double kFreezeAtSeconds = 1.8;

EngineSettings sceneSettings()
{
    EngineSettings settings;
    settings.amount = 0.8f;
    settings.lowCut = 40.0f;
    settings.highCut = 9000.0f;
    return settings;
}

} // namespace

DisplayFrame RecordedFrames::live() { return record (Scene::live); }
DisplayFrame RecordedFrames::frozen() { return record (Scene::frozen); }
DisplayFrame RecordedFrames::withoutSidechainBus() { return record (Scene::noBus); }
DisplayFrame RecordedFrames::auditioning() { return record (Scene::audition); }

DisplayFrame RecordedFrames::record (Scene scene)
{
    auto track = tools::DemoSignals::makePad();
    auto groove = tools::DemoSignals::makeKickAndBass();
    CarveEngine engine;
    engine.prepare (tools::DemoSignals::kSampleRate, kBlock);

    auto settings = sceneSettings();
    settings.scAudition = scene == Scene::audition;
    const auto sidechainChannels = scene == Scene::noBus ? 0 : groove.getNumChannels();
    const auto freezeAt = static_cast<int> (kFreezeAtSeconds * tools::DemoSignals::kSampleRate);
    const auto end = static_cast<int> (kRecordUntilSeconds * tools::DemoSignals::kSampleRate);

    for (int start = 0; start + kBlock <= end; start += kBlock)
    {
        settings.freeze = scene == Scene::frozen && start >= freezeAt;
        engine.setSettings (settings);
        float* main[] = { track.getWritePointer (0, start), track.getWritePointer (1, start) };
        float* sidechain[] = { groove.getWritePointer (0, start), groove.getWritePointer (1, start) };
        engine.process (main, 2, sidechain, sidechainChannels, kBlock);
    }

    DisplayFrame frame;
    engine.readDisplayFrame (frame);
    return frame;
}

} // namespace vo::test
