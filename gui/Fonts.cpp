#include "Fonts.h"

#include "TypefaceCache.h"

#include <juce_core/juce_core.h>

namespace vo::gui
{

juce::Font displayFont (float height)
{
    const juce::SharedResourcePointer<TypefaceCache> cache;
    return cache->getDisplayFont (height);
}

juce::Font textFont (float height)
{
    const juce::SharedResourcePointer<TypefaceCache> cache;
    return cache->getTextFont (height);
}

} // namespace vo::gui
