#pragma once

#include "Lang.h"

#include <juce_core/juce_core.h>

namespace vo::gui::i18n
{

// The toolkit's wording of `key` in `lang`. A text the toolkit does not know
// (a product's own, already translated tooltip) comes back unchanged.
juce::String translate (Lang lang, const juce::String& key);

// The name the language menu shows for `lang`, in the language itself.
juce::String languageName (Lang lang);

} // namespace vo::gui::i18n
