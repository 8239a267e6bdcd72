#pragma once

#include "CachedShadows.h"

namespace melatonin
{

// Blurred shadows inside a shape, clipped to it; render them after filling it.
class InnerShadow : public internal::CachedShadows
{
public:
    explicit InnerShadow (ShadowParameters shadow);
    explicit InnerShadow (std::initializer_list<ShadowParameters> shadowList);
    InnerShadow (juce::Colour colour, int radius, juce::Point<int> offset = {}, int spread = 0);

private:
    static std::vector<ShadowParameters> inside (std::vector<ShadowParameters> shadowList);
};

} // namespace melatonin
