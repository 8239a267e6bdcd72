#include "DemoScene.h"

#include "DemoSignals.h"

namespace vo::tools
{

namespace
{

void setPlain (plugins::zel::Processor& processor, const char* id, float plainValue)
{
    auto& parameter = processor.getStateManager().param (id);
    parameter.setValueNotifyingHost (parameter.convertTo0to1 (plainValue));
}

} // namespace

void DemoScene::play (plugins::zel::Processor& processor, bool freezeAtTheEnd)
{
    auto layout = processor.getBusesLayout();
    layout.inputBuses.getReference (1) = juce::AudioChannelSet::stereo();
    processor.setBusesLayout (layout);
    setPlain (processor, "amount", 80.0f);
    setPlain (processor, "lowCut", 40.0f);
    setPlain (processor, "highCut", 9000.0f);
    processor.prepareToPlay (DemoSignals::kSampleRate, kBlock);

    const auto track = DemoSignals::makePad();
    const auto groove = DemoSignals::makeKickAndBass();
    const auto end = static_cast<int> (kPlaySeconds * DemoSignals::kSampleRate);
    juce::AudioBuffer<float> buffer (4, kBlock);
    juce::MidiBuffer midi;
    for (int start = 0; start + kBlock <= end; start += kBlock)
    {
        if (freezeAtTheEnd && start + 2 * kBlock > end)
            setPlain (processor, "freeze", 1.0f);
        for (int c = 0; c < 2; ++c)
        {
            buffer.copyFrom (c, 0, track, c, start, kBlock);
            buffer.copyFrom (c + 2, 0, groove, c, start, kBlock);
        }
        processor.processBlock (buffer, midi);
    }
}

} // namespace vo::tools
