#include "InnerShadow.h"

namespace melatonin
{

InnerShadow::InnerShadow (ShadowParameters shadow)
    : CachedShadows (inside ({ shadow }))
{
}

InnerShadow::InnerShadow (std::initializer_list<ShadowParameters> shadowList)
    : CachedShadows (inside (shadowList))
{
}

InnerShadow::InnerShadow (juce::Colour colour, int radius, juce::Point<int> offset, int spread)
    : InnerShadow (ShadowParameters { colour, radius, offset, spread, true })
{
}

std::vector<ShadowParameters> InnerShadow::inside (std::vector<ShadowParameters> shadowList)
{
    for (auto& shadow : shadowList)
        shadow.inner = true;
    return shadowList;
}

} // namespace melatonin
