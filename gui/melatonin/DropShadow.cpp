#include "DropShadow.h"

namespace melatonin
{

DropShadow::DropShadow (ShadowParameters shadow)
    : CachedShadows (outer ({ shadow }))
{
}

DropShadow::DropShadow (std::initializer_list<ShadowParameters> shadowList)
    : CachedShadows (outer (shadowList))
{
}

DropShadow::DropShadow (juce::Colour colour, int radius, juce::Point<int> offset, int spread)
    : DropShadow (ShadowParameters { colour, radius, offset, spread, false })
{
}

std::vector<ShadowParameters> DropShadow::outer (std::vector<ShadowParameters> shadowList)
{
    for (auto& shadow : shadowList)
        shadow.inner = false;
    return shadowList;
}

} // namespace melatonin
