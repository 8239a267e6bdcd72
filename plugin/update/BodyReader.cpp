#include "BodyReader.h"

namespace vo::plugins::zel::upd
{

juce::MemoryBlock readCappedBody (juce::InputStream& stream, const std::function<bool()>& shouldStop)
{
    juce::MemoryBlock body;
    char chunk[kReadChunkBytes];

    while (body.getSize() < kMaxBodyBytes && ! stream.isExhausted())
    {
        const auto got = stream.read (chunk, kReadChunkBytes);

        if (shouldStop())
            return {};

        // A stream that delivers nothing without calling itself exhausted
        // would otherwise keep this thread spinning.
        if (got <= 0)
            break;

        body.append (chunk, (size_t) got);
    }

    return body;
}

} // namespace vo::plugins::zel::upd
