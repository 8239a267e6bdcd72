#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace vo::tools
{

// The demo's material, synthesised so that it needs no files: a sustained pad
// over a soft noise bed (the track), and a kick-and-bass groove (the sidechain).
class DemoSignals
{
public:
    static constexpr double kSampleRate = 48000.0;
    static constexpr double kSeconds = 8.0;
    static constexpr double kBeatsPerMinute = 120.0;

    static juce::AudioBuffer<float> makePad();
    static juce::AudioBuffer<float> makeKickAndBass();

    // Sample positions where a kick starts.
    static std::vector<int> kickStarts();
};

} // namespace vo::tools
