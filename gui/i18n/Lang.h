#pragma once

#include <cstdint>

namespace vo::gui::i18n
{

// The toolkit's own languages, shared by all the vendor's products.
enum class Lang : std::int32_t
{
    English = 0,
    German = 1,
    Turkish = 2
};

} // namespace vo::gui::i18n
