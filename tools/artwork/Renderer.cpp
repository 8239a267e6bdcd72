#include "Renderer.h"

#include "LightRig.h"

#include <cmath>
#include <thread>

namespace zel::artwork
{
namespace
{
    constexpr double pi = 3.14159265358979323846;
    constexpr int occlusionDirections = 8;
    constexpr double shadowSoftness = 7.0;
    constexpr double shadowBias = 0.4;
    constexpr double glowEdgeFade = 6.0;

    Vec3 heightFieldNormal (const Artwork& art, double x, double y, double step)
    {
        const auto gx = (art.heightAt (x + step, y) - art.heightAt (x - step, y)) / (2.0 * step);
        const auto gy = (art.heightAt (x, y + step) - art.heightAt (x, y - step)) / (2.0 * step);
        return Vec3 { -gx, -gy, 1.0 }.normalised();
    }

    // Horizon-based: how much of the sky the surrounding relief hides.
    double heightFieldOcclusion (const Artwork& art, double x, double y, double radius)
    {
        const auto h0 = art.heightAt (x, y);
        auto hidden = 0.0;
        for (int d = 0; d < occlusionDirections; ++d)
        {
            const auto a = 2.0 * pi * (d + 0.5) / occlusionDirections;
            auto horizon = 0.0;
            for (const auto fraction : { 0.2, 0.45, 1.0 })
            {
                const auto r = radius * fraction;
                const auto rise = art.heightAt (x + r * std::cos (a), y + r * std::sin (a)) - h0;
                horizon = std::max (horizon, rise / r);
            }
            hidden += horizon / std::sqrt (1.0 + horizon * horizon);
        }
        return clamp01 (1.0 - hidden / occlusionDirections);
    }

    double heightFieldShadow (const Artwork& art, double x, double y, double reach)
    {
        const auto key = LightRig::keyDirection();
        const auto planar = std::hypot (key.x, key.y);
        const auto dx = key.x / planar;
        const auto dy = key.y / planar;
        const auto climb = key.z / planar;
        const auto h0 = art.heightAt (x, y) + shadowBias;
        auto visible = 1.0;
        for (auto t = 1.0; t < reach; t += 1.0)
        {
            const auto clearance = h0 + t * climb - art.heightAt (x + dx * t, y + dy * t);
            visible = std::min (visible, shadowSoftness * clearance / t);
            if (visible <= 0.0)
                return 0.0;
        }
        return smoothstep (0.0, 1.0, visible);
    }

    double toneMap (double v)
    {
        constexpr double knee = 0.8;
        return v <= knee ? std::max (v, 0.0) : knee + (1.0 - knee) * (1.0 - std::exp (-(v - knee) / (1.0 - knee)));
    }

    std::uint8_t encode (double linear)
    {
        const auto c = clamp01 (linear);
        const auto s = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow (c, 1.0 / 2.4) - 0.055;
        return static_cast<std::uint8_t> (std::lround (s * 255.0));
    }

    std::vector<double> gaussianKernel (double sigma)
    {
        const auto half = static_cast<int> (std::ceil (3.0 * sigma));
        std::vector<double> k (static_cast<size_t> (2 * half + 1));
        auto sum = 0.0;
        for (int i = -half; i <= half; ++i)
            sum += k[static_cast<size_t> (i + half)] = std::exp (-0.5 * i * i / (sigma * sigma));
        for (auto& v : k)
            v /= sum;
        return k;
    }

    std::vector<Vec3> blur (const std::vector<Vec3>& src, int w, int h, double sigma)
    {
        const auto k = gaussianKernel (sigma);
        const auto half = static_cast<int> (k.size() / 2);
        const auto at = [w] (int x, int y) { return static_cast<size_t> (y * w + x); };
        std::vector<Vec3> across (src.size());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                Vec3 sum;
                for (int i = -half; i <= half; ++i)
                    if (x + i >= 0 && x + i < w)
                        sum += src[at (x + i, y)] * k[static_cast<size_t> (i + half)];
                across[at (x, y)] = sum;
            }
        std::vector<Vec3> result (src.size());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                Vec3 sum;
                for (int i = -half; i <= half; ++i)
                    if (y + i >= 0 && y + i < h)
                        sum += across[at (x, y + i)] * k[static_cast<size_t> (i + half)];
                result[at (x, y)] = sum;
            }
        return result;
    }
} // namespace

Renderer::Renderer (int threadCount) : threads (std::max (1, threadCount)) {}

void Renderer::shadeRow (const Artwork& art, const LightRig& rig, int y, Frame& frame) const
{
    const auto s = art.settings();
    const auto n = s.samplesPerAxis;
    const auto perPixel = static_cast<double> (n * n);
    const auto reach = 0.75 * std::max (art.width(), art.height());
    for (int x = 0; x < frame.width; ++x)
    {
        const auto cx = x + 0.5;
        const auto cy = y + 0.5;
        auto lightingKnown = false;
        auto occlusion = 1.0;
        auto visibility = 1.0;
        Vec3 colour;
        Vec3 emission;
        auto covered = 0;
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
            {
                const auto sx = x + (i + 0.5) / n;
                const auto sy = y + (j + 0.5) / n;
                const auto surface = art.surfaceAt (sx, sy);
                if (! surface.inside)
                    continue;
                if (! lightingKnown)
                {
                    // Occlusion and shadows vary slowly: once per pixel is enough.
                    occlusion = s.occlusionRadius > 0.0 ? heightFieldOcclusion (art, cx, cy, s.occlusionRadius)
                                                        : art.occlusionAt (cx, cy);
                    visibility = s.lighting == Lighting::azimuthal ? 1.0
                                 : s.heightFieldShadows            ? heightFieldShadow (art, cx, cy, reach)
                                                                   : art.shadowAt (cx, cy);
                    lightingKnown = true;
                }
                const auto normal = surface.hasNormal ? surface.normal : heightFieldNormal (art, sx, sy, s.normalStep);
                colour += rig.shade (surface, normal, occlusion, visibility);
                emission += surface.emission;
                ++covered;
            }
        const auto index = static_cast<size_t> (y * frame.width + x);
        frame.colour[index] = colour / perPixel;
        frame.emission[index] = emission / perPixel;
        frame.alpha[index] = covered / perPixel;
    }
}

Renderer::Frame Renderer::shadeFrame (const Artwork& art) const
{
    Frame frame { art.width(), art.height(), {}, {}, {} };
    const auto count = static_cast<size_t> (frame.width * frame.height);
    frame.colour.resize (count);
    frame.alpha.resize (count, 0.0);
    frame.emission.resize (count);
    const LightRig rig (art.settings().lighting);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back ([this, &art, &rig, &frame, t]
                              {
                                  for (int y = t; y < frame.height; y += threads)
                                      shadeRow (art, rig, y, frame);
                              });
    for (auto& w : workers)
        w.join();
    return frame;
}

std::vector<Vec3> Renderer::bloom (const Frame& frame, const RenderSettings& s) const
{
    if (s.bloomRadius <= 0.0)
        return {};
    const auto tight = blur (frame.emission, frame.width, frame.height, s.bloomRadius);
    const auto wide = blur (frame.emission, frame.width, frame.height, 3.0 * s.bloomRadius);
    std::vector<Vec3> glow (tight.size());
    for (size_t i = 0; i < glow.size(); ++i)
        glow[i] = (tight[i] * 0.6 + wide[i] * 0.4) * s.bloomStrength;
    return glow;
}

Bitmap Renderer::compose (const Frame& frame, const std::vector<Vec3>& glow, const RenderSettings& s) const
{
    Bitmap out (frame.width, frame.height);
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
        {
            const auto i = static_cast<size_t> (y * frame.width + x);
            const auto alpha = frame.alpha[i];
            const auto light = glow.empty() ? Vec3 {} : glow[i];
            Vec3 premultiplied;
            if (alpha > 0.0)
            {
                const auto straight = (frame.colour[i] + frame.emission[i]) / alpha + light;
                premultiplied = Vec3 { toneMap (straight.x), toneMap (straight.y), toneMap (straight.z) } * alpha;
            }
            auto total = alpha;
            if (s.glowAlphaOutside > 0.0 && light.luminance() > 0.0)
            {
                const auto edge = std::min ({ x + 0.5, y + 0.5, frame.width - x - 0.5, frame.height - y - 0.5 });
                const auto glowAlpha = std::min (s.glowAlphaOutside, light.luminance()) * smoothstep (0.0, glowEdgeFade, edge);
                const auto hue = light / light.luminance();
                premultiplied += Vec3 { toneMap (hue.x), toneMap (hue.y), toneMap (hue.z) } * (glowAlpha * (1.0 - alpha));
                total = alpha + (1.0 - alpha) * glowAlpha;
            }
            auto* p = out.pixel (x, y);
            if (total <= 0.0)
                continue;
            p[0] = encode (premultiplied.x / total);
            p[1] = encode (premultiplied.y / total);
            p[2] = encode (premultiplied.z / total);
            p[3] = static_cast<std::uint8_t> (std::lround (clamp01 (total) * 255.0));
        }
    return out;
}

Bitmap Renderer::render (const Artwork& art) const
{
    const auto frame = shadeFrame (art);
    const auto s = art.settings();
    return compose (frame, bloom (frame, s), s);
}
} // namespace zel::artwork
