#include "Bitmap.h"

namespace zel::artwork
{
Bitmap::Bitmap (int width, int height)
    : w (width), h (height), data (static_cast<std::size_t> (width) * static_cast<std::size_t> (height) * 4u, 0)
{
}
} // namespace zel::artwork
