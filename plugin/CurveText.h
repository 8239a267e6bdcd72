#pragma once

#include "engine/CarveEngine.h"

#include <juce_core/juce_core.h>

#include <array>

namespace vo::plugins::zel
{

// The frozen cut as stored in states and presets: 32 band gains in dB with two
// decimals, joined by ",". Decoding never fails: missing or unreadable bands
// are 0 dB (no cut) and every value is kept within -30 ... 0.
class CurveText
{
public:
    static constexpr float kDeepestCutDb = -30.0f;
    static constexpr int kMaxPieceChars = 24;

    static juce::String encode (const std::array<float, kBandCount>& curve);
    static std::array<float, kBandCount> decode (const juce::String& text);

private:
    static juce::String leadingNumberText (const juce::String& piece);
};

} // namespace vo::plugins::zel
