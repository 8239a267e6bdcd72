#include "LightRig.h"

#include <cmath>

namespace zel::artwork
{
namespace
{
    constexpr Vec3 viewer { 0.0, 0.0, 1.0 };
    constexpr double pi = 3.14159265358979323846;
    constexpr int symmetricAzimuths = 128;

    // Roughness widens a softbox's reflection; its energy spreads with it.
    constexpr double roughnessBlur = 1.1;

    // Diffuse weights of the studio: ambient sky, key, fill.
    constexpr double ambientLevel = 0.30;
    constexpr double keyLevel = 1.55;
    constexpr double fillLevel = 0.22;

    Vec3 fillDirection() noexcept { return Vec3 { 0.70, 0.55, 0.60 }.normalised(); }

    Vec3 reflect (Vec3 n) noexcept { return n * (2.0 * n.dot (viewer)) - viewer; }

    Vec3 schlick (Vec3 f0, double cosine) noexcept
    {
        const auto k = std::pow (1.0 - clamp01 (cosine), 5.0);
        return f0 + (Vec3 { 1.0, 1.0, 1.0 } - f0) * k;
    }

    Vec3 sky (Vec3 dir) noexcept
    {
        if (dir.z < 0.0)
            return Vec3 { 0.03, 0.028, 0.026 } * (1.0 + dir.z);
        const auto horizonBand = 0.10 * std::exp (-dir.z * dir.z / 0.02);
        const auto level = (mix (0.07, 0.17, smoothstep (0.0, 1.0, dir.z)) + horizonBand) * (1.0 - 0.25 * dir.y);
        return Vec3 { 1.0, 0.99, 0.97 } * level;
    }
} // namespace

LightRig::LightRig (Lighting lightingMode) : mode (lightingMode)
{
    lobes = { Lobe { keyDirection(), Vec3 { 7.2, 6.9, 6.4 }, 0.30, true },
              Lobe { fillDirection(), Vec3 { 0.75, 0.80, 0.90 }, 0.55, false },
              Lobe { Vec3 { -0.15, -0.35, 1.0 }.normalised(), Vec3 { 0.85, 0.85, 0.85 }, 0.45, false } };
    if (mode == Lighting::azimuthal)
        buildSymmetricTables();
}

Vec3 LightRig::keyDirection() noexcept { return Vec3 { -0.62, -0.70, 0.85 }.normalised(); }

double LightRig::flatDiffuseIrradiance() const { return diffuseIrradiance (viewer, 1.0, 1.0).y; }

Vec3 LightRig::directionalEnvironment (Vec3 dir, double roughness, double keyVisibility) const
{
    auto result = sky (dir);
    for (const auto& lobe : lobes)
    {
        const auto w2 = lobe.width * lobe.width;
        const auto blur = roughnessBlur * roughness;
        const auto widened = w2 + blur * blur;
        const auto angle2 = 2.0 * (1.0 - dir.dot (lobe.direction));
        // The key is a softbox with a defined edge, the others soft domes.
        const auto falloff = angle2 / (2.0 * widened);
        const auto gain = (w2 / widened) * std::exp (lobe.isKey ? -falloff * falloff : -falloff);
        result += lobe.radiance * (gain * (lobe.isKey ? keyVisibility : 1.0));
    }
    return result;
}

void LightRig::buildSymmetricTables()
{
    symmetricSpecular.resize (static_cast<size_t> (tableRoughness * tableElevation));
    symmetricDiffuse.resize (static_cast<size_t> (tableElevation));
    for (int e = 0; e < tableElevation; ++e)
    {
        const auto z = -1.0 + 2.0 * e / (tableElevation - 1);
        const auto ring = std::sqrt (std::max (0.0, 1.0 - z * z));
        for (int r = 0; r < tableRoughness; ++r)
        {
            Vec3 sum;
            for (int a = 0; a < symmetricAzimuths; ++a)
            {
                const auto phi = 2.0 * pi * (a + 0.5) / symmetricAzimuths;
                sum += directionalEnvironment ({ ring * std::cos (phi), ring * std::sin (phi), z },
                                               static_cast<double> (r) / (tableRoughness - 1), 1.0);
            }
            symmetricSpecular[static_cast<size_t> (r * tableElevation + e)] = sum / symmetricAzimuths;
        }
        Vec3 diffuse;
        for (int a = 0; a < symmetricAzimuths; ++a)
        {
            const auto phi = 2.0 * pi * (a + 0.5) / symmetricAzimuths;
            const Vec3 n { ring * std::cos (phi), ring * std::sin (phi), z };
            const auto key = keyLevel * std::max (0.0, n.dot (keyDirection()));
            const auto fill = fillLevel * std::max (0.0, n.dot (fillDirection()));
            const auto ambient = ambientLevel * (0.55 + 0.45 * z);
            diffuse += Vec3 { 1.0, 0.98, 0.95 } * (key + ambient) + Vec3 { 0.9, 0.95, 1.0 } * fill;
        }
        symmetricDiffuse[static_cast<size_t> (e)] = diffuse / symmetricAzimuths;
    }
}

Vec3 LightRig::symmetricEnvironment (Vec3 dir, double roughness) const
{
    const auto fe = clamp01 ((dir.z + 1.0) * 0.5) * (tableElevation - 1);
    const auto fr = clamp01 (roughness) * (tableRoughness - 1);
    const auto e0 = std::min (static_cast<int> (fe), tableElevation - 2);
    const auto r0 = std::min (static_cast<int> (fr), tableRoughness - 2);
    const auto te = fe - e0;
    const auto tr = fr - r0;
    const auto at = [this] (int r, int e) { return symmetricSpecular[static_cast<size_t> (r * tableElevation + e)]; };
    const auto low = mix (at (r0, e0), at (r0, e0 + 1), te);
    const auto high = mix (at (r0 + 1, e0), at (r0 + 1, e0 + 1), te);
    return mix (low, high, tr);
}

Vec3 LightRig::environment (Vec3 dir, double roughness, double keyVisibility) const
{
    return mode == Lighting::azimuthal ? symmetricEnvironment (dir, roughness)
                                       : directionalEnvironment (dir, roughness, keyVisibility);
}

Vec3 LightRig::reflection (const Material& m, Vec3 normal, double keyVisibility) const
{
    const auto f0 = mix (Vec3 { 0.04, 0.04, 0.04 }, m.colour, m.metal);
    if (m.spread <= 0.0 || (m.grooveX == 0.0 && m.grooveY == 0.0))
        return schlick (f0, normal.z) * environment (reflect (normal), m.roughness, keyVisibility);

    // Machining grooves tilt the normals across the groove direction: the
    // reflection becomes a fan of directions, which stretches highlights.
    constexpr int taps = 2;
    const auto across = normal.cross (Vec3 { m.grooveX, m.grooveY, 0.0 }).normalised();
    Vec3 sum;
    auto weights = 0.0;
    for (int k = -taps; k <= taps; ++k)
    {
        const auto t = static_cast<double> (k) / taps;
        const auto w = std::exp (-2.0 * t * t);
        const auto n = (normal + across * (t * m.spread)).normalised();
        sum += schlick (f0, n.z) * environment (reflect (n), m.roughness, keyVisibility) * w;
        weights += w;
    }
    return sum / weights;
}

Vec3 LightRig::diffuseIrradiance (Vec3 normal, double occlusion, double keyVisibility) const
{
    if (mode == Lighting::azimuthal)
    {
        const auto fe = clamp01 ((normal.z + 1.0) * 0.5) * (tableElevation - 1);
        const auto e0 = std::min (static_cast<int> (fe), tableElevation - 2);
        const auto d = mix (symmetricDiffuse[static_cast<size_t> (e0)], symmetricDiffuse[static_cast<size_t> (e0 + 1)], fe - e0);
        return d * mix (0.35, 1.0, occlusion);
    }
    const auto key = keyLevel * std::max (0.0, normal.dot (keyDirection())) * keyVisibility;
    const auto fill = fillLevel * std::max (0.0, normal.dot (fillDirection()));
    const auto ambient = ambientLevel * (0.55 + 0.45 * normal.z) * (1.0 - 0.15 * normal.y) * occlusion;
    return Vec3 { 1.0, 0.98, 0.95 } * (key * mix (0.5, 1.0, occlusion) + ambient) + Vec3 { 0.9, 0.95, 1.0 } * fill;
}

Vec3 LightRig::shade (const Surface& surface, Vec3 normal, double occlusion, double keyVisibility) const
{
    const auto& m = surface.material;
    const auto specularOcclusion = mix (1.0, occlusion, 0.85);
    const auto specular = reflection (m, normal, keyVisibility) * specularOcclusion;
    const auto diffuse = m.colour * diffuseIrradiance (normal, occlusion, keyVisibility) * (1.0 - m.metal);
    return diffuse + specular;
}
} // namespace zel::artwork
