#pragma once

#include "Table.h"

#include <juce_core/juce_core.h>

namespace vo::plugins::zel::i18n
{

// English, German, Turkish, Spanish, Italian, Russian: the order of the
// language menu and of the indices below.
inline constexpr int kNumLanguages = 6;
inline constexpr int kEnglish = 0;

// The table of that language; English for any index outside the six.
const Table& tableFor (int index) noexcept;

// The language whose code matches the first two letters of `code`, in any
// case ("DE_at" is German); English when none does.
int languageIndexFor (const juce::String& code);

// A field of a table as the text a component shows (the fields are UTF-8).
inline juce::String textOf (const char* field)
{
    return juce::String::fromUTF8 (field);
}

} // namespace vo::plugins::zel::i18n
