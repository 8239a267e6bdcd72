#include "EmbeddedFile.h"

#if ZEL_GUI_EMBEDDED_RESOURCES
    #include <BinaryData.h>
#endif

namespace vo::gui
{

EmbeddedFileList embeddedFiles()
{
    EmbeddedFileList files;
#if ZEL_GUI_EMBEDDED_RESOURCES
    for (int i = 0; i < BinaryData::namedResourceListSize; ++i)
    {
        int size = 0;
        const auto* data = BinaryData::getNamedResource (BinaryData::namedResourceList[i], size);
        files.push_back ({ juce::String::fromUTF8 (BinaryData::originalFilenames[i]), data,
                           static_cast<std::size_t> (juce::jmax (0, size)) });
    }
#endif
    return files;
}

} // namespace vo::gui
