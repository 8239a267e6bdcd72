#pragma once

#include "plugin/engine/display/DisplayFrame.h"

namespace vo::test
{

// Display frames as the real engine publishes them, recorded by running it
// headless over the demo's pad with its kick-and-bass groove as the sidechain.
// Each frame is taken just after a kick, when the picture has most to show.
class RecordedFrames
{
public:
    static plugins::zel::DisplayFrame live();
    static plugins::zel::DisplayFrame frozen();
    static plugins::zel::DisplayFrame withoutSidechainBus();
    static plugins::zel::DisplayFrame auditioning();

private:
    enum class Scene
    {
        live,
        frozen,
        noBus,
        audition
    };

    static plugins::zel::DisplayFrame record (Scene scene);
};

} // namespace vo::test
