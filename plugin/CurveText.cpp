#include "CurveText.h"

#include "core/NumberText.h"

#include <cmath>

namespace vo::plugins::zel
{

juce::String CurveText::encode (const std::array<float, kBandCount>& curve)
{
    juce::StringArray pieces;
    for (const float value : curve)
        pieces.add (juce::String (value + 0.0f, 2)); // + 0 turns -0 into 0
    return pieces.joinIntoString (",");
}

// The leading number of a piece, with at most a three-digit exponent: the
// framework's reader overflows on endless exponents.
juce::String CurveText::leadingNumberText (const juce::String& piece)
{
    const auto text = piece.trimStart();
    const auto unsignedText = text.trimCharactersAtStart ("+-");
    if (unsignedText.startsWithIgnoreCase ("inf") || unsignedText.startsWithIgnoreCase ("nan"))
        return text.substring (0, text.length() - unsignedText.length() + 3);

    int end = 0;
    while (end < text.length() && juce::String ("+-.0123456789").containsChar (text[end]))
        ++end;

    if (end < text.length() && (text[end] == 'e' || text[end] == 'E'))
    {
        int exponentEnd = end + 1;
        if (exponentEnd < text.length() && (text[exponentEnd] == '+' || text[exponentEnd] == '-'))
            ++exponentEnd;
        int digits = 0;
        while (exponentEnd < text.length() && juce::CharacterFunctions::isDigit (text[exponentEnd]) && digits < 4)
            ++exponentEnd, ++digits;
        if (digits > 0 && digits <= 3)
            end = exponentEnd;
    }
    return text.substring (0, end);
}

std::array<float, kBandCount> CurveText::decode (const juce::String& text)
{
    juce::StringArray pieces;
    pieces.addTokens (text, ",", {});

    std::array<float, kBandCount> curve {};
    for (int band = 0; band < kBandCount && band < pieces.size(); ++band)
    {
        // Our own pieces are a few characters; a very long one is damage.
        const auto piece = leadingNumberText (pieces[band]);
        const float value = piece.length() <= kMaxPieceChars ? core::floatFromText (piece) : 0.0f;
        curve[(size_t) band] = std::isnan (value) ? 0.0f : juce::jlimit (kDeepestCutDb, 0.0f, value);
    }
    return curve;
}

} // namespace vo::plugins::zel
