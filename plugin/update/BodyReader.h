#pragma once

#include <juce_core/juce_core.h>

#include <functional>

namespace vo::plugins::zel::upd
{

// The update document is tiny; reading stops once this much has arrived, so a
// misbehaving server cannot make the plug-in hold more than about 66 KiB.
inline constexpr size_t kMaxBodyBytes = 65536;
inline constexpr int kReadChunkBytes = 2048;

// Reads the stream in chunks until it is exhausted or the cap is reached (the
// result is at most kMaxBodyBytes + kReadChunkBytes - 1 bytes). Returns an
// empty block when shouldStop() turns true while reading.
juce::MemoryBlock readCappedBody (juce::InputStream& stream, const std::function<bool()>& shouldStop);

} // namespace vo::plugins::zel::upd
