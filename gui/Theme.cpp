#include "Theme.h"

#include <type_traits>

namespace vo::gui
{

// Products copy themes freely and some tools compare them byte for byte: the
// record stays 65 packed four-byte fields with no padding and no ownership.
static_assert (sizeof (juce::Colour) == 4);
static_assert (sizeof (ShadowSpec) == 4 * 4);
static_assert (sizeof (Theme) == 65 * 4);
static_assert (std::is_trivially_copyable_v<Theme>);

} // namespace vo::gui
