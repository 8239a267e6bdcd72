// Every character of every text table is in the embedded "DuVaZovi.ttf", the
// face both of the editor's typeface slots prefer: a text the font cannot
// set would show as boxes in that language only.

#include "plugin/ui/i18n/Tables.h"

#include "BinaryData.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <algorithm>
#include <array>
#include <bit>
#include <set>

namespace vo::test
{
namespace
{

using plugins::zel::i18n::Table;

constexpr std::size_t kFieldCount = sizeof (Table) / sizeof (const char*);
static_assert (sizeof (Table) == kFieldCount * sizeof (const char*), "a table holds only its texts");

// A table's texts in the record's order.
std::array<const char*, kFieldCount> textsOf (const Table& table)
{
    return std::bit_cast<std::array<const char*, kFieldCount>> (table);
}

// The code points one table uses; line breaks and other controls are not drawn.
std::set<juce::juce_wchar> charactersOf (const Table& table)
{
    std::set<juce::juce_wchar> characters;
    for (const auto* text : textsOf (table))
    {
        const auto decoded = juce::String::fromUTF8 (text);
        for (auto p = decoded.getCharPointer(); ! p.isEmpty(); ++p)
            if (*p >= 0x20)
                characters.insert (*p);
    }
    return characters;
}

class EmbeddedFace
{
public:
    EmbeddedFace()
    {
        int size = 0;
        const auto* data = BinaryData::getNamedResource ("DuVaZovi_ttf", size);
        if (data != nullptr && FT_Init_FreeType (&library) == 0)
            FT_New_Memory_Face (library, reinterpret_cast<const FT_Byte*> (data), size, 0, &face);
    }

    ~EmbeddedFace()
    {
        if (face != nullptr)
            FT_Done_Face (face);
        if (library != nullptr)
            FT_Done_FreeType (library);
    }

    EmbeddedFace (const EmbeddedFace&) = delete;
    EmbeddedFace& operator= (const EmbeddedFace&) = delete;

    bool isOpen() const noexcept { return face != nullptr; }
    bool maps (juce::juce_wchar c) const { return FT_Get_Char_Index (face, static_cast<FT_ULong> (c)) != 0; }

private:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

class TableFont : public ::testing::TestWithParam<int>
{
};

TEST_P (TableFont, SetsEveryCharacterOfTheTable)
{
    const EmbeddedFace face;
    ASSERT_TRUE (face.isOpen());
    const auto& table = plugins::zel::i18n::tableFor (GetParam());
    juce::String missing;
    for (const auto c : charactersOf (table))
        if (! face.maps (c))
            missing << " U+" << juce::String::toHexString (static_cast<int> (c)).toUpperCase().paddedLeft ('0', 4);
    EXPECT_TRUE (missing.isEmpty()) << table.code << " needs" << missing;
}

TEST_P (TableFont, ReadsEveryTextAsLetters)
{
    // A sanity check of the walk itself: every table has characters beyond ASCII
    // (accents, dashes, ellipses or Cyrillic) as well as plain letters.
    const auto characters = charactersOf (plugins::zel::i18n::tableFor (GetParam()));
    EXPECT_TRUE (characters.count ('a') == 1 || characters.count (0x430) == 1);
    EXPECT_TRUE (std::any_of (characters.begin(), characters.end(), [] (juce::juce_wchar c) { return c > 0x7f; }));
}

INSTANTIATE_TEST_SUITE_P (Languages, TableFont, ::testing::Range (0, plugins::zel::i18n::kNumLanguages));

} // namespace
} // namespace vo::test
