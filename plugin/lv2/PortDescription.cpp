#include "PortDescription.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <utility>

namespace vo::plugins::zel::lv2
{
namespace
{
const std::string kRdfType = "http://www.w3.org/1999/02/22-rdf-syntax-ns#type";
const std::string kLv2 = "http://lv2plug.in/ns/lv2core#";
const std::string kAtom = "http://lv2plug.in/ns/ext/atom#";
const std::string kPortGroups = "http://lv2plug.in/ns/ext/port-groups#";
const std::string kResizePort = "http://lv2plug.in/ns/ext/resize-port#";

struct Token
{
    enum class Type
    {
        iri,
        name,
        literal,
        number,
        punctuation,
        directive
    };

    Type type = Type::punctuation;
    std::string text;

    bool is (char punctuation) const
    {
        return type == Type::punctuation && text.size() == 1 && text[0] == punctuation;
    }
};

//==============================================================================
// Splits Turtle text into tokens. Only what the framework's description
// writer produces needs to come out right; anything else still ends up as
// some token, and the reader then finds no port list in it.
class Tokeniser
{
public:
    explicit Tokeniser (std::string_view textToSplit) : text (textToSplit) {}

    std::vector<Token> split()
    {
        std::vector<Token> tokens;
        while (skipSpaceAndComments())
        {
            const auto start = pos;
            tokens.push_back (next());
            // A character no token starts with (a stray '>', say) is a token of
            // its own, so that every step uses up some of the text.
            if (pos == start)
                tokens.back() = { Token::Type::punctuation, std::string (1, text[pos++]) };
        }
        return tokens;
    }

private:
    static bool isSpace (char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    static bool isDigit (char c) { return c >= '0' && c <= '9'; }
    static bool endsName (char c) { return isSpace (c) || std::string_view ("<>\"[],;#").find (c) != std::string_view::npos; }

    char at (std::size_t offset) const { return pos + offset < text.size() ? text[pos + offset] : '\0'; }

    bool skipSpaceAndComments()
    {
        while (pos < text.size())
        {
            if (text[pos] == '#')
                pos = std::min (text.find ('\n', pos), text.size());
            else if (isSpace (text[pos]))
                ++pos;
            else
                return true;
        }
        return false;
    }

    bool startsNumber() const
    {
        const char c = at (0);
        if (isDigit (c))
            return true;
        if (c == '+' || c == '-')
            return isDigit (at (1)) || (at (1) == '.' && isDigit (at (2)));
        return c == '.' && isDigit (at (1));
    }

    Token next()
    {
        const char c = text[pos];
        if (c == '<')
            return iri();
        if (c == '"')
            return literal();
        if (c == '@')
            return run (Token::Type::directive, [] (char x) { return x == '@' || (x >= 'a' && x <= 'z'); });
        if (startsNumber())
            return trimmedRun (Token::Type::number, [] (char x) { return isDigit (x) || std::string_view ("+-.eE").find (x) != std::string_view::npos; });
        if (std::string_view ("[],;.").find (c) != std::string_view::npos)
            return { Token::Type::punctuation, std::string (1, text[pos++]) };
        return trimmedRun (Token::Type::name, [] (char x) { return ! endsName (x); });
    }

    template <typename Accepts>
    Token run (Token::Type type, Accepts accepts)
    {
        const auto start = pos;
        while (pos < text.size() && accepts (text[pos]))
            ++pos;
        return { type, std::string (text.substr (start, pos - start)) };
    }

    // A statement's closing '.' may follow a number or a name directly.
    template <typename Accepts>
    Token trimmedRun (Token::Type type, Accepts accepts)
    {
        auto token = run (type, accepts);
        while (token.text.size() > 1 && token.text.back() == '.')
        {
            token.text.pop_back();
            --pos;
        }
        return token;
    }

    Token iri()
    {
        const auto end = std::min (text.find ('>', pos), text.size());
        Token token { Token::Type::iri, std::string (text.substr (pos + 1, end - pos - 1)) };
        pos = std::min (end + 1, text.size());
        return token;
    }

    Token literal()
    {
        const bool isLong = text.substr (pos, 3) == "\"\"\"";
        const std::string_view quote = isLong ? "\"\"\"" : "\"";
        pos += quote.size();

        Token token { Token::Type::literal, {} };
        while (pos < text.size() && text.substr (pos, quote.size()) != quote)
        {
            if (text[pos] == '\\' && pos + 1 < text.size())
                ++pos;
            token.text += text[pos++];
        }
        pos = std::min (pos + quote.size(), text.size());
        skipLiteralSuffix();
        return token;
    }

    // A datatype ("^^xsd:int") or a language tag ("@en") says nothing the
    // reader needs.
    void skipLiteralSuffix()
    {
        if (at (0) == '@')
            run (Token::Type::name, [] (char x) { return ! endsName (x); });
        else if (at (0) == '^' && at (1) == '^')
        {
            pos += 2;
            if (at (0) == '<')
                iri();
            else
                trimmedRun (Token::Type::name, [] (char x) { return ! endsName (x); });
        }
    }

    std::string_view text;
    std::size_t pos = 0;
};

//==============================================================================
// Finds the plug-in's lv2:port list and its main input group in the tokens.
class Reader
{
public:
    explicit Reader (std::vector<Token> tokensToRead) : tokens (std::move (tokensToRead)) {}

    std::optional<PortDescription> read()
    {
        while (pos < tokens.size())
            if (! readNext())
                return std::nullopt;
        return complete();
    }

private:
    struct Draft
    {
        PortInfo info;
        bool hasIndex = false;
        bool hasDirection = false;
    };

    const Token* peek (std::size_t offset = 0) const
    {
        return pos + offset < tokens.size() ? &tokens[pos + offset] : nullptr;
    }

    bool peekIs (char punctuation) const
    {
        const auto* token = peek();
        return token != nullptr && token->is (punctuation);
    }

    std::string expand (const Token& token) const
    {
        if (token.type == Token::Type::iri)
            return token.text;
        if (token.type != Token::Type::name)
            return {};
        if (token.text == "a")
            return kRdfType;

        const auto colon = token.text.find (':');
        if (colon == std::string::npos)
            return {};
        const auto it = prefixes.find (token.text.substr (0, colon));
        return it != prefixes.end() ? it->second + token.text.substr (colon + 1) : std::string();
    }

    bool readNext()
    {
        const auto& token = tokens[pos];
        if (token.type == Token::Type::directive && token.text == "@prefix")
            return readPrefix();

        const auto iri = expand (token);
        const auto* following = peek (1);
        ++pos;

        if (iri == kLv2 + "port" && following != nullptr && following->is ('['))
            return readPortList();
        if (iri == kPortGroups + "mainInput" && following != nullptr)
        {
            mainInputGroup = expand (*following);
            ++pos;
        }
        return true;
    }

    bool readPrefix()
    {
        const auto* name = peek (1);
        const auto* iri = peek (2);
        if (name == nullptr || iri == nullptr || iri->type != Token::Type::iri || name->text.empty() || name->text.back() != ':')
            return false;
        prefixes[name->text.substr (0, name->text.size() - 1)] = iri->text;
        pos += 3;
        if (peekIs ('.'))
            ++pos;
        return true;
    }

    bool readPortList()
    {
        for (;;)
        {
            if (! peekIs ('['))
                return false;
            ++pos;

            Draft draft;
            if (! readPort (draft) || ! draft.hasIndex || ! draft.hasDirection)
                return false;
            drafts.push_back (std::move (draft));

            if (! peekIs (','))
                return true;
            ++pos;
        }
    }

    // One port's property list, up to and including its closing ']'.
    bool readPort (Draft& draft)
    {
        while (peek() != nullptr)
        {
            if (peekIs (']'))
            {
                ++pos;
                return true;
            }
            if (! readProperty (draft))
                return false;
            while (peekIs (';'))
                ++pos;
        }
        return false;
    }

    bool readProperty (Draft& draft)
    {
        const auto predicate = expand (tokens[pos++]);
        for (;;)
        {
            const auto* object = peek();
            if (object == nullptr)
                return false;
            if (object->is ('['))
            {
                if (! skipNested())
                    return false;
            }
            else
            {
                apply (draft, predicate, *object);
                ++pos;
            }

            if (! peekIs (','))
                return peekIs (';') || peekIs (']');
            ++pos;
        }
    }

    bool skipNested()
    {
        int depth = 0;
        do
        {
            const auto* token = peek();
            if (token == nullptr)
                return false;
            depth += token->is ('[') ? 1 : token->is (']') ? -1 : 0;
            ++pos;
        } while (depth > 0);
        return true;
    }

    void apply (Draft& draft, const std::string& predicate, const Token& object) const
    {
        auto& info = draft.info;
        if (predicate == kRdfType)
            applyType (draft, expand (object));
        else if (predicate == kLv2 + "index")
            draft.hasIndex = parse (object, info.index);
        else if (predicate == kLv2 + "portProperty" && expand (object) == kLv2 + "connectionOptional")
            info.optional = true;
        else if (predicate == kLv2 + "default")
            parse (object, info.defaultValue);
        else if (predicate == kLv2 + "symbol")
            info.symbol = object.text;
        else if (predicate == kPortGroups + "group")
            info.group = expand (object);
        else if (predicate == kResizePort + "minimumSize")
            parse (object, info.minimumSize);
    }

    static void applyType (Draft& draft, const std::string& type)
    {
        auto& info = draft.info;
        if (type == kLv2 + "InputPort" || type == kLv2 + "OutputPort")
        {
            info.isInput = type == kLv2 + "InputPort";
            draft.hasDirection = true;
        }
        else if (type == kLv2 + "AudioPort")
            info.kind = PortInfo::Kind::audio;
        else if (type == kLv2 + "ControlPort")
            info.kind = PortInfo::Kind::control;
        else if (type == kAtom + "AtomPort")
            info.kind = PortInfo::Kind::atom;
    }

    template <typename Number>
    static bool parse (const Token& token, Number& out)
    {
        if (token.type != Token::Type::number)
            return false;
        const char* begin = token.text.data();
        const char* end = begin + token.text.size();
        if (*begin == '+')
            ++begin;
        const auto result = std::from_chars (begin, end, out);
        return result.ec == std::errc() && result.ptr == end;
    }

    std::optional<PortDescription> complete()
    {
        if (drafts.empty())
            return std::nullopt;

        std::sort (drafts.begin(), drafts.end(), [] (const Draft& a, const Draft& b) { return a.info.index < b.info.index; });

        PortDescription description;
        description.mainInputGroup = mainInputGroup;
        for (auto& draft : drafts)
        {
            if (draft.info.index != description.ports.size())
                return std::nullopt;
            description.ports.push_back (std::move (draft.info));
        }
        return description;
    }

    std::vector<Token> tokens;
    std::size_t pos = 0;
    std::map<std::string, std::string> prefixes;
    std::vector<Draft> drafts;
    std::string mainInputGroup;
};
} // namespace

std::optional<PortDescription> readPortDescription (std::string_view turtle)
{
    return Reader (Tokeniser (turtle).split()).read();
}

} // namespace vo::plugins::zel::lv2
