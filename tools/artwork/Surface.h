#pragma once

#include "Vec3.h"

namespace zel::artwork
{
/** How a surface reflects light. Metals tint their reflection with `colour`;
    dielectrics use it as diffuse albedo under a clear 4 % specular layer. */
struct Material
{
    Vec3 colour { 0.5, 0.5, 0.5 };
    double metal = 0.0;
    double roughness = 0.5;
    /** Direction of machining grooves in the image plane (zero: isotropic).
        Highlights stretch across the grooves, as on turned or brushed metal. */
    double grooveX = 0.0;
    double grooveY = 0.0;
    /** How far normals fan out across the grooves (tangent-plane units). */
    double spread = 0.0;
};

/** What lies under one sample point of an artwork. */
struct Surface
{
    bool inside = false;
    Material material;
    /** Emitted linear radiance, e.g. a lit ring; it also feeds the bloom. */
    Vec3 emission;
    /** Set when the shape knows its normal better than the height field does
        (steep primitives like the switch lever). */
    bool hasNormal = false;
    Vec3 normal { 0.0, 0.0, 1.0 };
};

enum class Lighting
{
    directional, ///< the shared key and fill from the upper left
    azimuthal    ///< the same rig averaged around the view axis, for images that rotate
};

struct RenderSettings
{
    int samplesPerAxis = 4;
    /** Radius of the height-field occlusion probe in pixels; 0 asks the artwork. */
    double occlusionRadius = 0.0;
    /** Cast height-field shadows from the key light; otherwise ask the artwork. */
    bool heightFieldShadows = false;
    Lighting lighting = Lighting::directional;
    /** Bloom around emissive parts, in pixels; 0 switches it off. */
    double bloomRadius = 0.0;
    double bloomStrength = 0.0;
    /** Glow may leave the body (alpha below this outside it). */
    double glowAlphaOutside = 0.0;
    double normalStep = 0.35;
};
} // namespace zel::artwork
