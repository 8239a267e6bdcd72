#include "EmbeddedImage.h"

#include "BinaryData.h"
#include "PngFile.h"

namespace vo::test
{
std::optional<zel::artwork::Bitmap> embeddedImage (const std::string& stem)
{
    int size = 0;
    const auto* data = BinaryData::getNamedResource ((stem + "_png").c_str(), size);
    if (data == nullptr || size <= 0)
        return std::nullopt;
    return zel::artwork::PngFile::decode (data, static_cast<std::size_t> (size));
}

double alphaOf (const zel::artwork::Bitmap& image, int x, int y) { return image.alphaAt (x, y) / 255.0; }

} // namespace vo::test
