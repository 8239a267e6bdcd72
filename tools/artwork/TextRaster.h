#pragma once

#include <string>
#include <vector>

namespace zel::artwork
{
/** Anti-aliased text coverage from a font file, through FreeType. */
class TextRaster
{
public:
    struct Coverage
    {
        int width = 0;
        int height = 0;
        std::vector<float> values; // 0 … 1, row by row
    };

    explicit TextRaster (const std::string& fontPath);
    ~TextRaster();
    TextRaster (const TextRaster&) = delete;
    TextRaster& operator= (const TextRaster&) = delete;

    bool isValid() const noexcept { return face != nullptr; }

    /** One line of UTF-8 text; `pixelHeight` is the em size, `tracking` extra
        pixels after every character. The line box is ascender to descender. */
    Coverage render (const std::string& utf8, int pixelHeight, double tracking = 0.0) const;

private:
    void* library = nullptr;
    void* face = nullptr;
};
} // namespace zel::artwork
