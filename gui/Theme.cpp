#include "Theme.h"

#include <cstddef>
#include <type_traits>

namespace vo::gui
{

// Products copy themes freely and some tools compare them byte for byte: the
// record stays 65 packed four-byte fields with no padding and no ownership,
// in the order products and tools index them by.
static_assert (sizeof (juce::Colour) == 4);
static_assert (sizeof (ShadowSpec) == 4 * 4);
static_assert (sizeof (Theme) == 65 * 4);
static_assert (std::is_trivially_copyable_v<Theme>);
static_assert (std::is_standard_layout_v<Theme>);

namespace
{

constexpr std::size_t field (int oneBasedIndex)
{
    return static_cast<std::size_t> (oneBasedIndex - 1) * 4;
}

} // namespace

static_assert (offsetof (Theme, background) == field (1));
static_assert (offsetof (Theme, cardBackground) == field (5));
static_assert (offsetof (Theme, surface) == field (11));
static_assert (offsetof (Theme, textDim) == field (15));
static_assert (offsetof (Theme, arcTrack) == field (21));
static_assert (offsetof (Theme, inkOnAccent) == field (25));
static_assert (offsetof (Theme, shadowBase) == field (30));
static_assert (offsetof (Theme, markHighlight) == field (33));
static_assert (offsetof (Theme, knobStyle) == field (34));
static_assert (offsetof (Theme, grainOpacity) == field (37));
static_assert (offsetof (Theme, titleText) == field (41));
static_assert (offsetof (Theme, radiusSmall) == field (42));
static_assert (offsetof (Theme, strokeWidth) == field (45));
static_assert (offsetof (Theme, knobShadow) == field (46));
static_assert (offsetof (Theme, knobContactShadow) == field (50));
static_assert (offsetof (Theme, controlShadow) == field (54));
static_assert (offsetof (Theme, cardShadow) == field (58));
static_assert (offsetof (Theme, panelShadow) == field (62));

} // namespace vo::gui
