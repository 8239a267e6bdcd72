#include "Translate.h"

#include <array>

namespace vo::gui::i18n
{

namespace
{

// Key, English, German, Turkish; the key is the text as the code writes it.
struct Row
{
    const char* key;
    const char* english;
    const char* german;
    const char* turkish;
};

constexpr std::array<Row, 6> kRows { {
    { "window size", "window size", "fenstergr\xc3\xb6\xc3\x9f" "e", "pencere boyutu" },
    { "info", "info", "info", "bilgi" },
    { "language", "language", "sprache", "dil" },
    { "latency", "latency", "latenz", "gecikme" },
    { "samples", "samples", "samples", "\xc3\xb6rnek" },
    { "support", "support", "support", "destek" },
} };

const char* columnOf (const Row& row, Lang lang)
{
    switch (lang)
    {
        case Lang::German: return row.german;
        case Lang::Turkish: return row.turkish;
        case Lang::English: break;
    }
    return row.english;
}

} // namespace

juce::String translate (Lang lang, const juce::String& key)
{
    for (const auto& row : kRows)
    {
        if (key != juce::String::fromUTF8 (row.key))
            continue;
        const auto* text = columnOf (row, lang);
        return text != nullptr ? juce::String::fromUTF8 (text) : juce::String();
    }
    return key;
}

juce::String languageName (Lang lang)
{
    switch (lang)
    {
        case Lang::German: return "deutsch";
        case Lang::Turkish: return juce::String::fromUTF8 ("t\xc3\xbcrk\xc3\xa7" "e");
        case Lang::English: break;
    }
    return "english";
}

} // namespace vo::gui::i18n
