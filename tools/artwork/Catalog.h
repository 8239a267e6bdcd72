#pragma once

#include "Artwork.h"
#include "Shapes.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zel::artwork
{
/** Every rendered picture the editor draws, with its calibration where it has one. */
class Catalog
{
public:
    static std::vector<std::unique_ptr<Artwork>> artworks();

    /** The body circle of a round 256 × 256 image, by resource file stem. */
    static std::optional<Circle> calibration (const std::string& name);
};
} // namespace zel::artwork
