#pragma once

#include <algorithm>
#include <cmath>

namespace zel::artwork
{
/** A three-component vector for directions, normals and linear colours. */
struct Vec3
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr Vec3 operator+ (Vec3 o) const noexcept { return { x + o.x, y + o.y, z + o.z }; }
    constexpr Vec3 operator- (Vec3 o) const noexcept { return { x - o.x, y - o.y, z - o.z }; }
    constexpr Vec3 operator* (Vec3 o) const noexcept { return { x * o.x, y * o.y, z * o.z }; }
    constexpr Vec3 operator* (double s) const noexcept { return { x * s, y * s, z * s }; }
    constexpr Vec3 operator/ (double s) const noexcept { return { x / s, y / s, z / s }; }
    Vec3& operator+= (Vec3 o) noexcept { x += o.x; y += o.y; z += o.z; return *this; }

    constexpr double dot (Vec3 o) const noexcept { return x * o.x + y * o.y + z * o.z; }
    constexpr Vec3 cross (Vec3 o) const noexcept
    {
        return { y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x };
    }
    double length() const noexcept { return std::sqrt (dot (*this)); }
    Vec3 normalised() const noexcept
    {
        const auto l = length();
        return l > 0.0 ? *this / l : Vec3 { 0.0, 0.0, 1.0 };
    }
    constexpr double luminance() const noexcept { return 0.2126 * x + 0.7152 * y + 0.0722 * z; }
};

constexpr double clamp01 (double v) noexcept { return std::clamp (v, 0.0, 1.0); }

constexpr double mix (double a, double b, double t) noexcept { return a + (b - a) * t; }

constexpr Vec3 mix (Vec3 a, Vec3 b, double t) noexcept { return a + (b - a) * t; }

constexpr double smoothstep (double edge0, double edge1, double v) noexcept
{
    const auto t = clamp01 ((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

/** An sRGB-encoded 0xRRGGBB colour in linear light. */
inline Vec3 linearFromHex (unsigned rgb) noexcept
{
    const auto decode = [] (unsigned byte)
    {
        const auto c = byte / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow ((c + 0.055) / 1.055, 2.4);
    };
    return { decode ((rgb >> 16) & 0xffu), decode ((rgb >> 8) & 0xffu), decode (rgb & 0xffu) };
}
} // namespace zel::artwork
