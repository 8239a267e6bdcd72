#pragma once

#include <cstddef>

namespace vo::core
{

// Walks XML text the way a tokenizer would, without building anything, and
// tells whether the framework's XML reader can be trusted with it. That reader
// recurses once per nesting level, loops forever on a processing instruction
// followed by text inside an element, and expands entities a document type
// declaration defines. Files we write never need any of that, so anything
// deeper than the limit, any processing instruction after the prolog, any
// document type declaration and any '<' inside a tag, quoted or not, is refused.
class XmlTextCheck
{
public:
    static bool isWithinReaderLimits (const char* text, size_t size, int maxDepth);

private:
    XmlTextCheck (const char* textToCheck, size_t sizeInBytes) noexcept : text (textToCheck), size (sizeInBytes) {}

    bool walk (int maxDepth);
    bool readTag (bool& selfClosing);
    bool skipPast (const char* terminator);
    bool startsWith (const char* prefix) const noexcept;

    const char* text;
    size_t size;
    size_t pos = 0;
};

} // namespace vo::core
