// Fuzzes zel-render's command line: arguments separated by NUL bytes. Parsing
// never crashes; accepted options are within their limits and rejections say why.

#include "core/Utf8Check.h"
#include "render/RenderOptions.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    juce::StringArray args;
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i)
    {
        if (i == size || data[i] == 0)
        {
            // The program refuses arguments that are not UTF-8 before parsing.
            const auto* text = reinterpret_cast<const char*> (data + start);
            if (! vo::core::Utf8Check::isWellFormed (text, i - start))
                return 0;
            args.add (juce::String::fromUTF8 (text, (int) (i - start)));
            start = i + 1;
        }
    }

    juce::String error;
    const auto options = vo::tools::RenderOptions::parse (args, error);
    if (options.has_value())
    {
        if (options->blockSize < vo::tools::RenderOptions::kMinBlockSize || options->blockSize > vo::tools::RenderOptions::kMaxBlockSize)
            std::abort();
    }
    else if (error.isEmpty() || error.containsChar ('\n'))
    {
        std::abort();
    }
    return 0;
}
