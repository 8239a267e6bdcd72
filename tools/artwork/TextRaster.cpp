#include "TextRaster.h"

#include <algorithm>
#include <cmath>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace zel::artwork
{
namespace
{
    std::vector<char32_t> decodeUtf8 (const std::string& s)
    {
        std::vector<char32_t> out;
        for (size_t i = 0; i < s.size();)
        {
            const auto c = static_cast<unsigned char> (s[i]);
            const auto extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc0 ? 1 : 0;
            char32_t cp = extra == 0 ? c : static_cast<char32_t> (c & (0x3f >> extra));
            for (int k = 1; k <= extra && i + static_cast<size_t> (k) < s.size(); ++k)
                cp = (cp << 6) | (static_cast<unsigned char> (s[i + static_cast<size_t> (k)]) & 0x3fu);
            out.push_back (cp);
            i += static_cast<size_t> (extra + 1);
        }
        return out;
    }

    FT_Face asFace (void* f) { return static_cast<FT_Face> (f); }
} // namespace

TextRaster::TextRaster (const std::string& fontPath)
{
    FT_Library lib = nullptr;
    if (FT_Init_FreeType (&lib) != 0)
        return;
    library = lib;
    FT_Face loaded = nullptr;
    if (FT_New_Face (lib, fontPath.c_str(), 0, &loaded) == 0)
        face = loaded;
}

TextRaster::~TextRaster()
{
    if (face != nullptr)
        FT_Done_Face (asFace (face));
    if (library != nullptr)
        FT_Done_FreeType (static_cast<FT_Library> (library));
}

TextRaster::Coverage TextRaster::render (const std::string& utf8, int pixelHeight, double tracking) const
{
    Coverage out;
    if (face == nullptr)
        return out;
    auto* f = asFace (face);
    FT_Set_Pixel_Sizes (f, 0, static_cast<FT_UInt> (pixelHeight));
    const auto ascender = static_cast<int> (std::ceil (f->size->metrics.ascender / 64.0));
    const auto descender = static_cast<int> (std::ceil (-f->size->metrics.descender / 64.0));
    const auto codes = decodeUtf8 (utf8);

    auto advanceOf = [f] (char32_t c)
    {
        return FT_Load_Char (f, c, FT_LOAD_DEFAULT) == 0 ? f->glyph->advance.x / 64.0 : 0.0;
    };
    auto total = 0.0;
    for (const auto c : codes)
        total += advanceOf (c) + tracking;
    out.width = static_cast<int> (std::ceil (total - tracking)) + 2;
    out.height = ascender + descender;
    out.values.assign (static_cast<size_t> (out.width * out.height), 0.0f);

    auto pen = 1.0;
    for (const auto c : codes)
    {
        if (FT_Load_Char (f, c, FT_LOAD_RENDER) != 0)
            continue;
        const auto& bmp = f->glyph->bitmap;
        const auto left = static_cast<int> (std::lround (pen)) + f->glyph->bitmap_left;
        const auto top = ascender - f->glyph->bitmap_top;
        for (unsigned row = 0; row < bmp.rows; ++row)
            for (unsigned col = 0; col < bmp.width; ++col)
            {
                const auto x = left + static_cast<int> (col);
                const auto y = top + static_cast<int> (row);
                if (x < 0 || y < 0 || x >= out.width || y >= out.height)
                    continue;
                auto& v = out.values[static_cast<size_t> (y * out.width + x)];
                const auto g = bmp.buffer[static_cast<long> (row) * bmp.pitch + col] / 255.0f;
                v = std::min (1.0f, v + g);
            }
        pen += f->glyph->advance.x / 64.0 + tracking;
    }
    return out;
}
} // namespace zel::artwork
