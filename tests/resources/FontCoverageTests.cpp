#include "BinaryData.h"

#include <algorithm>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vo::test
{
namespace
{
// Every letter and sign the editor's six languages and read-outs use.
std::vector<char32_t> editorCodePoints()
{
    std::vector<char32_t> cps;
    for (char32_t c = 0x20; c <= 0x7e; ++c)
        cps.push_back (c);
    for (const char32_t c : { U'ğ', U'Ğ', U'ı', U'İ', U'ş', U'Ş', U'ç', U'Ç', U'ö', U'Ö', U'ü', U'Ü', U'ä', U'Ä', U'ß',
                              U'á', U'é', U'í', U'ñ', U'ó', U'ú', U'à', U'è', U'ì', U'ò', U'ù', U'¿', U'¡' })
        cps.push_back (c);
    for (char32_t c = 0x400; c <= 0x45f; ++c)
        cps.push_back (c);
    for (const char32_t c : { U'—', U'…', U'·', U'°', U'×' })
        cps.push_back (c);
    return cps;
}

class EmbeddedFont : public ::testing::TestWithParam<const char*>
{
};

TEST_P (EmbeddedFont, MapsEveryCharacterTheEditorShows)
{
    int size = 0;
    const auto* data = BinaryData::getNamedResource (GetParam(), size);
    ASSERT_NE (data, nullptr);
    FT_Library library = nullptr;
    ASSERT_EQ (FT_Init_FreeType (&library), 0);
    FT_Face face = nullptr;
    ASSERT_EQ (FT_New_Memory_Face (library, reinterpret_cast<const FT_Byte*> (data), size, 0, &face), 0);
    std::string missing;
    for (const auto cp : editorCodePoints())
        if (FT_Get_Char_Index (face, cp) == 0)
            missing += " U+" + std::to_string (static_cast<unsigned> (cp));
    EXPECT_TRUE (missing.empty()) << GetParam() << " lacks" << missing;
    FT_Done_Face (face);
    FT_Done_FreeType (library);
}

TEST (EmbeddedFont, CarriesItsOriginalFileNameForTheLookup)
{
    // The editor walks the embedded files by their original names.
    std::vector<std::string> names;
    for (int i = 0; i < BinaryData::namedResourceListSize; ++i)
        names.emplace_back (BinaryData::originalFilenames[i]);
    for (const auto* expected : { "DuVaZovi.ttf", "HankenGrotesk.ttf", "Inter.ttf" })
        EXPECT_NE (std::find (names.begin(), names.end(), expected), names.end()) << expected;
}

INSTANTIATE_TEST_SUITE_P (Slots, EmbeddedFont, ::testing::Values ("DuVaZovi_ttf", "HankenGrotesk_ttf", "Inter_ttf"));
} // namespace

} // namespace vo::test
