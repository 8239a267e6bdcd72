#pragma once

#include "Bitmap.h"
#include "TextRaster.h"

#include <string>
#include <utility>
#include <vector>

namespace zel::artwork
{
/** The maker's flat marks: a two-tone crescent moon and the name "velmora",
    for header logos and footer bylines, at four times their drawn height. */
class MakerMarks
{
public:
    explicit MakerMarks (const TextRaster& font);

    /** Every mark with its resource name. */
    std::vector<std::pair<std::string, Bitmap>> render() const;

private:
    struct Style
    {
        int height;
        std::string text;
        unsigned textColour;
        unsigned moonColour;
        unsigned moonHighlight;
        bool moon;
        double tracking;
    };

    Bitmap mark (const Style& style) const;

    const TextRaster& font;
};
} // namespace zel::artwork
