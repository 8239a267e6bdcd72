#include "EmbeddedImage.h"

#include "EmbeddedFile.h"

namespace vo::gui
{

juce::Image embeddedImage (const juce::String& fileName)
{
    for (const auto& file : embeddedFiles())
        if (file.fileName == fileName && file.data != nullptr)
            return juce::ImageCache::getFromMemory (file.data, static_cast<int> (file.size));
    return {};
}

} // namespace vo::gui
