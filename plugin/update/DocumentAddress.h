#pragma once

#include <juce_core/juce_core.h>

namespace vo::plugins::zel::upd
{

inline constexpr const char* kDocumentPath = "/downloads/versions.json";

// https://<maker's site>/downloads/versions.json
juce::String builtInDocumentUrl();

// Only web addresses are fetched: an http or https URL with a host, made of
// visible ASCII. Anything else (file:, ftp:, junk) is never handed to the
// network layer.
bool isFetchableAddress (const juce::String& address);

// Where a redirect from `current` with this Location header leads, or empty
// when it must not be followed: relative locations are resolved against
// `current`, and a document first asked for over https never continues over
// plain http.
juce::String redirectTarget (const juce::String& current, const juce::String& location);

bool isRedirectStatus (int statusCode);

} // namespace vo::plugins::zel::upd
