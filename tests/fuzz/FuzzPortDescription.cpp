// Fuzzes the reader of the LV2 bundle's port description: any text gives
// either nothing or a complete, consistent port list.

#include "plugin/lv2/PortDescription.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const std::string_view text (reinterpret_cast<const char*> (data), size);
    const auto description = vo::plugins::zel::lv2::readPortDescription (text);
    if (! description)
        return 0;

    for (size_t i = 0; i < description->ports.size(); ++i)
    {
        const auto& port = description->ports[i];
        if (port.index != i || ! std::isfinite (port.defaultValue))
            std::abort();
    }
    return 0;
}
