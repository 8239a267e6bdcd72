#pragma once

#include "Surface.h"

#include <array>
#include <vector>

namespace zel::artwork
{
/** The one studio every image is lit in: a large key softbox to the upper left,
    a dim fill from the lower right, and a soft overhead sky, so that all the
    pictures sit together on the panel. */
class LightRig
{
public:
    explicit LightRig (Lighting mode);

    /** Linear radiance leaving a surface point towards the viewer. */
    Vec3 shade (const Surface& surface, Vec3 normal, double occlusion, double keyVisibility) const;

    /** Direction towards the key light. */
    static Vec3 keyDirection() noexcept;

    /** What a flat, white diffuse surface facing the viewer reflects; lets
        textures hit a target colour. */
    double flatDiffuseIrradiance() const;

private:
    struct Lobe
    {
        Vec3 direction;
        Vec3 radiance;
        double width;
        bool isKey;
    };

    Vec3 environment (Vec3 dir, double roughness, double keyVisibility) const;
    Vec3 directionalEnvironment (Vec3 dir, double roughness, double keyVisibility) const;
    Vec3 symmetricEnvironment (Vec3 dir, double roughness) const;
    Vec3 reflection (const Material& m, Vec3 normal, double keyVisibility) const;
    Vec3 diffuseIrradiance (Vec3 normal, double occlusion, double keyVisibility) const;
    void buildSymmetricTables();

    static constexpr int tableRoughness = 24;
    static constexpr int tableElevation = 256;

    Lighting mode;
    std::array<Lobe, 3> lobes;
    std::vector<Vec3> symmetricSpecular;  // [roughness][elevation]
    std::vector<Vec3> symmetricDiffuse;   // [elevation]
};
} // namespace zel::artwork
