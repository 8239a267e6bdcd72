// Fuzzes "update.txt": reading never crashes, and what we write back reads
// back the same, one key per line.

#include "plugin/update/PrefsFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using vo::plugins::zel::upd::PrefsFile;
    const std::string text (reinterpret_cast<const char*> (data), size);
    const auto prefs = PrefsFile::parse (text);

    const auto again = PrefsFile::parse (PrefsFile::format (prefs));
    if (! (again == prefs))
        std::abort();
    return 0;
}
