#include "XmlTextCheck.h"

#include <cstring>

namespace vo::core
{

bool XmlTextCheck::isWithinReaderLimits (const char* text, size_t size, int maxDepth)
{
    if (text == nullptr)
        return size == 0;

    XmlTextCheck check (text, size);
    return check.walk (maxDepth);
}

bool XmlTextCheck::walk (int maxDepth)
{
    int depth = 0;
    bool insideDocument = false;

    while (pos < size)
    {
        if (text[pos] != '<')
        {
            ++pos;
            continue;
        }

        if (startsWith ("<!--"))
        {
            if (! skipPast ("-->"))
                return true; // the reader stops at the unterminated comment
            continue;
        }

        if (startsWith ("<![CDATA["))
        {
            if (! skipPast ("]]>"))
                return true;
            continue;
        }

        if (startsWith ("<!"))
            return false; // document type declarations and their entities

        if (startsWith ("<?"))
        {
            if (insideDocument)
                return false;
            if (! skipPast ("?>"))
                return true;
            continue;
        }

        if (startsWith ("</"))
        {
            --depth;
            if (! skipPast (">"))
                return true;
            continue;
        }

        insideDocument = true;
        bool selfClosing = false;
        if (! readTag (selfClosing))
            return false;
        if (! selfClosing && ++depth > maxDepth)
            return false;
    }

    return true;
}

// From '<' to the matching '>' outside quotes; false when another '<' comes
// first, quoted or not. Our writer escapes it in attribute values, and the
// reader's idea of where a quote ends need not match ours on damaged text.
bool XmlTextCheck::readTag (bool& selfClosing)
{
    char quote = 0;
    char lastOutsideQuotes = 0;

    for (++pos; pos < size; ++pos)
    {
        const char c = text[pos];

        if (c == '<')
            return false;

        if (quote != 0)
        {
            if (c == quote)
                quote = 0;
            continue;
        }

        if (c == '"' || c == '\'')
            quote = c;
        else if (c == '>')
        {
            selfClosing = lastOutsideQuotes == '/';
            ++pos;
            return true;
        }

        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            lastOutsideQuotes = c;
    }

    return true; // unterminated: the reader refuses it at the end of the text
}

bool XmlTextCheck::skipPast (const char* terminator)
{
    const auto length = std::strlen (terminator);

    for (; pos + length <= size; ++pos)
    {
        if (std::memcmp (text + pos, terminator, length) == 0)
        {
            pos += length;
            return true;
        }
    }

    pos = size;
    return false;
}

bool XmlTextCheck::startsWith (const char* prefix) const noexcept
{
    const auto length = std::strlen (prefix);
    return size - pos >= length && std::memcmp (text + pos, prefix, length) == 0;
}

} // namespace vo::core
