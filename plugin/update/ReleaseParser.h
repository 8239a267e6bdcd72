#pragma once

#include "Release.h"

#include <juce_core/juce_core.h>

namespace vo::plugins::zel::upd
{

inline constexpr const char* kProductKey = "zel";

// Addresses longer than this are not ones the maker publishes.
inline constexpr int kMaxAddressLength = 2048;

// JUCE's JSON parser recurses per nesting level; a hostile document of nothing
// but brackets must not be able to exhaust the check thread's stack.
inline constexpr int kMaxJsonNesting = 32;

// The document bytes as text, or empty unless they are well-formed UTF-8
// without NUL characters.
juce::String decodeDocument (const juce::MemoryBlock& body);

// True for an address on the maker's site ("https://<site>/…" or
// "https://www.<site>/…") made only of visible ASCII characters.
bool isMakerSiteAddress (const juce::String& address);

// The release listed under "zel", or an empty release when the document does
// not name a usable one.
Release parseRelease (const juce::String& documentText);

} // namespace vo::plugins::zel::upd
