#pragma once

#include <juce_core/juce_core.h>

// What a published release is called and where it lives on the maker's site.
// Everything is worked out from the product information and the update
// check's own document address, so the packaging scripts never type a
// version, a name or an address themselves.
namespace vo::tools::release
{

// Debian's name for the package: the product name in lower case.
juce::String packageName();

// The Windows installer's file name, e.g. "ZEL-1.0.0-win64-setup.exe".
juce::String installerFileName();

// The update document's file name: the last part of the address the check asks.
juce::String documentFileName();

// Installer and document are published side by side on the maker's site.
juce::String installerUrl();

// The release notes of this version on the maker's site.
juce::String releasePageUrl();

// The document the update check reads, naming this build's release.
juce::String updateDocument();

// Name and value of every fact the packaging scripts use, in a fixed order.
juce::StringPairArray facts();

} // namespace vo::tools::release
