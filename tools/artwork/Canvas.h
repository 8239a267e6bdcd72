#pragma once

#include "Bitmap.h"
#include "TextRaster.h"

#include <array>
#include <vector>

namespace zel::artwork
{
/** A premultiplied float RGBA surface that composites the way the editor
    does (in sRGB values), for the contact sheet and the flat maker marks. */
class Canvas
{
public:
    Canvas (int width, int height);
    explicit Canvas (const Bitmap& image);

    int width() const noexcept { return w; }
    int height() const noexcept { return h; }

    void fill (unsigned argb);
    /** Draws an image scaled by box filtering into the given rectangle. */
    void drawImage (const Bitmap& image, int x, int y, int width, int height);
    /** Draws with fixed caps and a stretched middle, as the editor's three-slice drawing does. */
    void drawThreeSlice (const Bitmap& image, int capWidth, int x, int y, int width, int height);
    void drawCoverage (const TextRaster::Coverage& coverage, int x, int y, unsigned argb);
    /** Paints a colour through a coverage function sampled 4 × 4 per pixel. */
    template <typename Inside>
    void paintShape (unsigned argb, Inside&& inside);

    Bitmap toBitmap() const;

private:
    using Pixel = std::array<float, 4>;

    Canvas (int width, int height, std::vector<Pixel> pixels);
    Canvas region (int x, int y, int width, int height) const;
    Canvas resampled (int width, int height) const;
    void drawCanvas (const Canvas& source, int x, int y);
    void blend (int x, int y, const Pixel& p);
    static Pixel premultiplied (unsigned argb, float coverage);

    int w;
    int h;
    std::vector<Pixel> px;
};

template <typename Inside>
void Canvas::paintShape (unsigned argb, Inside&& inside)
{
    constexpr int n = 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            auto hits = 0;
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i)
                    hits += inside (x + (i + 0.5) / n, y + (j + 0.5) / n) ? 1 : 0;
            if (hits > 0)
                blend (x, y, premultiplied (argb, static_cast<float> (hits) / (n * n)));
        }
}
} // namespace zel::artwork
