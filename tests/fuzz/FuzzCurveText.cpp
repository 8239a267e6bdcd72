// Fuzzes the stored frozen-cut text: always 32 values within -30 ... 0.

#include "core/Utf8Check.h"
#include "plugin/CurveText.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    // Stored texts reach us as valid UTF-8 (the state reader checks it).
    if (! vo::core::Utf8Check::isWellFormed (data, size))
        return 0;
    const auto text = juce::String::fromUTF8 (reinterpret_cast<const char*> (data), (int) size);
    const auto curve = vo::plugins::zel::CurveText::decode (text);
    for (const float v : curve)
        if (! std::isfinite (v) || v < -30.0f || v > 0.0f)
            std::abort();

    // What we write, we read back to the same two decimals.
    const auto again = vo::plugins::zel::CurveText::decode (vo::plugins::zel::CurveText::encode (curve));
    for (size_t i = 0; i < curve.size(); ++i)
        if (std::abs (again[i] - curve[i]) > 0.0051f)
            std::abort();
    return 0;
}
