#include "GestureCounter.h"

namespace vo::test
{

namespace
{

int countFor (const std::map<int, int>& counts, const juce::AudioProcessorParameter& parameter)
{
    const auto found = counts.find (parameter.getParameterIndex());
    return found != counts.end() ? found->second : 0;
}

} // namespace

GestureCounter::GestureCounter (juce::AudioProcessor& processorToWatch) : processor (processorToWatch)
{
    processor.addListener (this);
}

GestureCounter::~GestureCounter()
{
    processor.removeListener (this);
}

int GestureCounter::begins (const juce::AudioProcessorParameter& parameter) const
{
    return countFor (beginCounts, parameter);
}

int GestureCounter::ends (const juce::AudioProcessorParameter& parameter) const
{
    return countFor (endCounts, parameter);
}

int GestureCounter::changes (const juce::AudioProcessorParameter& parameter) const
{
    return countFor (changeCounts, parameter);
}

void GestureCounter::audioProcessorParameterChanged (juce::AudioProcessor*, int index, float)
{
    ++changeCounts[index];
}

void GestureCounter::audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index)
{
    ++beginCounts[index];
}

void GestureCounter::audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index)
{
    ++endCounts[index];
}

} // namespace vo::test
