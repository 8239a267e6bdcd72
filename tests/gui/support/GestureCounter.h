#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace vo::test
{

// What a host sees of automation gestures: counts begin/end per parameter
// through the processor's own listener interface.
class GestureCounter : public juce::AudioProcessorListener
{
public:
    explicit GestureCounter (juce::AudioProcessor& processor);
    ~GestureCounter() override;

    int begins (const juce::AudioProcessorParameter& parameter) const;
    int ends (const juce::AudioProcessorParameter& parameter) const;
    int changes (const juce::AudioProcessorParameter& parameter) const;

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override;
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override;
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override;

private:
    juce::AudioProcessor& processor;
    std::map<int, int> beginCounts, endCounts, changeCounts;
};

} // namespace vo::test
