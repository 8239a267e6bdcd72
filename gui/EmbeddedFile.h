#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <vector>

namespace vo::gui
{

// One file compiled into the binary: the name it was embedded from and its bytes.
struct EmbeddedFile
{
    juce::String fileName;
    const void* data = nullptr;
    std::size_t size = 0;
};

using EmbeddedFileList = std::vector<EmbeddedFile>;

// Every file embedded into this build, in the order it was stored (empty
// when the build carries no resources).
EmbeddedFileList embeddedFiles();

} // namespace vo::gui
