#pragma once

#include "CachedShadows.h"

namespace melatonin
{

// Blurred shadows cast outside a shape; render them before filling the shape.
class DropShadow : public internal::CachedShadows
{
public:
    explicit DropShadow (ShadowParameters shadow);
    explicit DropShadow (std::initializer_list<ShadowParameters> shadowList);
    DropShadow (juce::Colour colour, int radius, juce::Point<int> offset = {}, int spread = 0);

private:
    static std::vector<ShadowParameters> outer (std::vector<ShadowParameters> shadowList);
};

} // namespace melatonin
