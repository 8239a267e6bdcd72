#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace zel::artwork
{
Canvas::Canvas (int width, int height) : Canvas (width, height, std::vector<Pixel> (static_cast<size_t> (width * height), Pixel {})) {}

Canvas::Canvas (int width, int height, std::vector<Pixel> pixels) : w (width), h (height), px (std::move (pixels)) {}

Canvas::Canvas (const Bitmap& image) : Canvas (image.width(), image.height())
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const auto* p = image.pixel (x, y);
            const auto a = p[3] / 255.0f;
            px[static_cast<size_t> (y * w + x)] = { p[0] / 255.0f * a, p[1] / 255.0f * a, p[2] / 255.0f * a, a };
        }
}

Canvas::Pixel Canvas::premultiplied (unsigned argb, float coverage)
{
    const auto a = ((argb >> 24) & 0xffu) / 255.0f * coverage;
    return { ((argb >> 16) & 0xffu) / 255.0f * a, ((argb >> 8) & 0xffu) / 255.0f * a, (argb & 0xffu) / 255.0f * a, a };
}

void Canvas::fill (unsigned argb) { std::fill (px.begin(), px.end(), premultiplied (argb, 1.0f)); }

void Canvas::blend (int x, int y, const Pixel& p)
{
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    auto& d = px[static_cast<size_t> (y * w + x)];
    for (size_t c = 0; c < 4; ++c)
        d[c] = p[c] + d[c] * (1.0f - p[3]);
}

Canvas Canvas::region (int x, int y, int width, int height) const
{
    Canvas out (width, height);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            out.px[static_cast<size_t> (j * width + i)] = px[static_cast<size_t> ((y + j) * w + x + i)];
    return out;
}

Canvas Canvas::resampled (int width, int height) const
{
    // Box filter: each target pixel averages the source area it covers.
    const auto pass = [] (const std::vector<Pixel>& src, int srcLen, int dstLen, int lines, bool alongX, int srcW)
    {
        std::vector<Pixel> dst (static_cast<size_t> (dstLen * lines), Pixel {});
        const auto scale = static_cast<double> (srcLen) / dstLen;
        for (int line = 0; line < lines; ++line)
            for (int i = 0; i < dstLen; ++i)
            {
                const auto from = i * scale;
                const auto to = std::max (from + 1.0e-9, (i + 1) * scale);
                Pixel sum {};
                auto total = 0.0;
                for (auto k = static_cast<int> (std::floor (from)); k < static_cast<int> (std::ceil (to)) && k < srcLen; ++k)
                {
                    const auto weight = std::min (to, k + 1.0) - std::max (from, static_cast<double> (k));
                    if (weight <= 0.0)
                        continue;
                    const auto& s = alongX ? src[static_cast<size_t> (line * srcW + k)] : src[static_cast<size_t> (k * srcW + line)];
                    for (size_t c = 0; c < 4; ++c)
                        sum[c] += static_cast<float> (weight) * s[c];
                    total += weight;
                }
                for (auto& c : sum)
                    c /= static_cast<float> (total);
                if (alongX)
                    dst[static_cast<size_t> (line * dstLen + i)] = sum;
                else
                    dst[static_cast<size_t> (i * lines + line)] = sum;
            }
        return dst;
    };
    const auto across = pass (px, w, width, h, true, w);
    const auto down = pass (across, h, height, width, false, width);
    return { width, height, down };
}

void Canvas::drawCanvas (const Canvas& source, int x, int y)
{
    for (int j = 0; j < source.h; ++j)
        for (int i = 0; i < source.w; ++i)
            blend (x + i, y + j, source.px[static_cast<size_t> (j * source.w + i)]);
}

void Canvas::drawImage (const Bitmap& image, int x, int y, int width, int height)
{
    if (width > 0 && height > 0)
        drawCanvas (Canvas (image).resampled (width, height), x, y);
}

void Canvas::drawThreeSlice (const Bitmap& image, int capWidth, int x, int y, int width, int height)
{
    const Canvas source (image);
    const auto cap = static_cast<int> (std::lround (capWidth * static_cast<double> (height) / image.height()));
    const auto middle = source.w - 2 * capWidth;
    drawCanvas (source.region (0, 0, capWidth, source.h).resampled (cap, height), x, y);
    drawCanvas (source.region (capWidth, 0, middle, source.h).resampled (std::max (1, width - 2 * cap), height), x + cap, y);
    drawCanvas (source.region (source.w - capWidth, 0, capWidth, source.h).resampled (cap, height), x + width - cap, y);
}

void Canvas::drawCoverage (const TextRaster::Coverage& coverage, int x, int y, unsigned argb)
{
    for (int j = 0; j < coverage.height; ++j)
        for (int i = 0; i < coverage.width; ++i)
        {
            const auto c = coverage.values[static_cast<size_t> (j * coverage.width + i)];
            if (c > 0.0f)
                blend (x + i, y + j, premultiplied (argb, c));
        }
}

Bitmap Canvas::toBitmap() const
{
    Bitmap out (w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const auto& p = px[static_cast<size_t> (y * w + x)];
            auto* d = out.pixel (x, y);
            const auto a = std::clamp (p[3], 0.0f, 1.0f);
            d[3] = static_cast<std::uint8_t> (std::lround (a * 255.0f));
            for (size_t c = 0; c < 3; ++c)
                d[c] = a > 0.0f ? static_cast<std::uint8_t> (std::lround (std::clamp (p[c] / a, 0.0f, 1.0f) * 255.0f)) : 0;
        }
    return out;
}
} // namespace zel::artwork
