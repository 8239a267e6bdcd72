#include "CurveText.h"

#include <cmath>

namespace vo::plugins::zel
{

juce::String CurveText::encode (const std::array<float, kBandCount>& curve)
{
    juce::StringArray pieces;
    for (const float value : curve)
        pieces.add (juce::String (value + 0.0f, 2)); // + 0 turns -0 into 0
    return pieces.joinIntoString (",");
}

std::array<float, kBandCount> CurveText::decode (const juce::String& text)
{
    juce::StringArray pieces;
    pieces.addTokens (text, ",", {});

    std::array<float, kBandCount> curve {};
    for (int band = 0; band < kBandCount && band < pieces.size(); ++band)
    {
        const float value = pieces[band].getFloatValue();
        curve[(size_t) band] = std::isnan (value) ? 0.0f : juce::jlimit (kDeepestCutDb, 0.0f, value);
    }
    return curve;
}

} // namespace vo::plugins::zel
