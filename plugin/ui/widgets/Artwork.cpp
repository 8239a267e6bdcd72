#include "Artwork.h"

#include "BinaryData.h"

namespace vo::plugins::zel::ui
{

juce::Image Artwork::load (const char* resourceName)
{
    int size = 0;
    const auto* data = BinaryData::getNamedResource (resourceName, size);
    if (data == nullptr || size <= 0)
        return {};
    return juce::ImageFileFormat::loadFrom (data, static_cast<size_t> (size)).convertedToFormat (juce::Image::ARGB);
}

} // namespace vo::plugins::zel::ui
