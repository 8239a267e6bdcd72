#pragma once

#include "Bitmap.h"

#include <optional>
#include <string>

namespace vo::test
{
/** Decodes an embedded PNG by file stem, as the editor looks it up ("zelknob" → zelknob_png). */
std::optional<zel::artwork::Bitmap> embeddedImage (const std::string& stem);

/** Alpha of a pixel in 0 … 1. */
double alphaOf (const zel::artwork::Bitmap& image, int x, int y);

} // namespace vo::test
