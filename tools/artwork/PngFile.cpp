#include "PngFile.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <png.h>
#include <vector>

namespace zel::artwork
{
namespace
{
    constexpr int compressionLevel = 9;

    std::vector<png_bytep> rowPointers (const Bitmap& image)
    {
        std::vector<png_bytep> rows (static_cast<size_t> (image.height()));
        for (int y = 0; y < image.height(); ++y)
            rows[static_cast<size_t> (y)] = const_cast<png_bytep> (image.pixel (0, y));
        return rows;
    }

    // Kept free of objects with destructors: libpng reports errors by longjmp.
    bool writeRows (png_structp png, png_infop info, std::FILE* file, const Bitmap& image, png_bytep* rows)
    {
        if (setjmp (png_jmpbuf (png)))
            return false;
        png_init_io (png, file);
        png_set_IHDR (png, info, static_cast<png_uint_32> (image.width()), static_cast<png_uint_32> (image.height()),
                      8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                      PNG_FILTER_TYPE_DEFAULT);
        png_set_compression_level (png, compressionLevel);
        png_set_filter (png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
        png_write_info (png, info);
        png_write_image (png, rows);
        png_write_end (png, info);
        return true;
    }

    struct MemoryReader
    {
        const png_byte* data;
        std::size_t size;
        std::size_t offset;
    };

    void readFromMemory (png_structp png, png_bytep out, png_size_t count)
    {
        auto* reader = static_cast<MemoryReader*> (png_get_io_ptr (png));
        if (reader->offset + count > reader->size)
            png_error (png, "truncated");
        std::copy_n (reader->data + reader->offset, count, out);
        reader->offset += count;
    }

    bool readHeader (png_structp png, png_infop info, png_uint_32* width, png_uint_32* height)
    {
        if (setjmp (png_jmpbuf (png)))
            return false;
        png_read_info (png, info);
        png_set_expand (png);
        png_set_strip_16 (png);
        png_set_gray_to_rgb (png);
        png_set_add_alpha (png, 0xff, PNG_FILLER_AFTER);
        png_read_update_info (png, info);
        *width = png_get_image_width (png, info);
        *height = png_get_image_height (png, info);
        return true;
    }

    bool readRows (png_structp png, png_infop info, png_bytep* rows)
    {
        if (setjmp (png_jmpbuf (png)))
            return false;
        png_read_image (png, rows);
        png_read_end (png, info);
        return true;
    }
} // namespace

bool PngFile::write (const Bitmap& image, const std::string& path)
{
    std::FILE* file = std::fopen (path.c_str(), "wb");
    if (file == nullptr)
        return false;
    auto png = png_create_write_struct (PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    auto info = png_create_info_struct (png);
    auto rows = rowPointers (image);
    const auto ok = png != nullptr && info != nullptr && writeRows (png, info, file, image, rows.data());
    png_destroy_write_struct (&png, &info);
    return std::fclose (file) == 0 && ok;
}

std::optional<Bitmap> PngFile::decode (const void* data, std::size_t size)
{
    MemoryReader reader { static_cast<const png_byte*> (data), size, 0 };
    auto png = png_create_read_struct (PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    auto info = png_create_info_struct (png);
    std::optional<Bitmap> result;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    if (png != nullptr && info != nullptr)
    {
        png_set_read_fn (png, &reader, readFromMemory);
        if (readHeader (png, info, &width, &height))
        {
            Bitmap image (static_cast<int> (width), static_cast<int> (height));
            auto rows = rowPointers (image);
            if (readRows (png, info, rows.data()))
                result = std::move (image);
        }
    }
    png_destroy_read_struct (&png, &info, nullptr);
    return result;
}

std::optional<Bitmap> PngFile::read (const std::string& path)
{
    std::ifstream in (path, std::ios::binary);
    const std::vector<char> bytes { std::istreambuf_iterator<char> (in), std::istreambuf_iterator<char>() };
    if (bytes.empty())
        return std::nullopt;
    return decode (bytes.data(), bytes.size());
}
} // namespace zel::artwork
