#pragma once

#include "Lang.h"

#include <juce_core/juce_core.h>

#include <string>

namespace vo::gui::i18n
{

// "language.txt" in the vendor's folder of the user's application data: the
// toolkit language every product of the vendor follows.
inline constexpr const char* kLanguageFileName = "language.txt";

// <application data>/<vendor>, or the empty File when there is no usable
// application data folder.
juce::File vendorFolder (const juce::String& vendor);

// The language stored in `folder`; English without a usable file.
Lang readLanguageFile (const juce::File& folder);

// Stores the language's code as the whole file, creating the folder; write
// failures are ignored.
void writeLanguageFile (const juce::File& folder, Lang lang);

// The reading rule on a file's raw bytes: trimmed, "de…" is German, "tr…"
// Turkish, anything else English.
Lang languageForContent (const std::string& bytes);

} // namespace vo::gui::i18n
