// The six text tables: complete, well-formed, typographically consistent,
// and holding the agreed short texts; plus the lookups by index and by code.

#include "plugin/ui/i18n/Tables.h"

#include "core/Utf8Check.h"
#include "plugin/ProductInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace vo::test
{
using vo::plugins::zel::i18n::Table;

using Field = const char* Table::*;

struct NamedField
{
    const char* name;
    Field field;
};

#define ZEL_FIELD(name) NamedField { #name, &Table::name }

// Every field, in the record's order: a field added to the record without
// being listed here fails the size check below.
inline constexpr std::array kAllFields {
    ZEL_FIELD (code), ZEL_FIELD (languageName), ZEL_FIELD (menuLanguage),
    ZEL_FIELD (labelAmount), ZEL_FIELD (labelLowCut), ZEL_FIELD (labelHighCut), ZEL_FIELD (labelFreeze),
    ZEL_FIELD (labelAttack), ZEL_FIELD (labelRelease), ZEL_FIELD (labelPan), ZEL_FIELD (labelScAudition),
    ZEL_FIELD (labelSmooth), ZEL_FIELD (labelAdvanced), ZEL_FIELD (labelLR), ZEL_FIELD (labelMS),
    ZEL_FIELD (labelMode),
    ZEL_FIELD (tipAmount), ZEL_FIELD (tipLowCut), ZEL_FIELD (tipHighCut), ZEL_FIELD (tipFreeze),
    ZEL_FIELD (tipAttack), ZEL_FIELD (tipRelease), ZEL_FIELD (tipMode), ZEL_FIELD (tipPan),
    ZEL_FIELD (tipScAudition), ZEL_FIELD (tipSmooth), ZEL_FIELD (tipAdvanced), ZEL_FIELD (tipSpectrum),
    ZEL_FIELD (tipBypass),
    ZEL_FIELD (helpAmount), ZEL_FIELD (helpLowCut), ZEL_FIELD (helpHighCut), ZEL_FIELD (helpFreeze),
    ZEL_FIELD (helpAttack), ZEL_FIELD (helpRelease), ZEL_FIELD (helpModeLR), ZEL_FIELD (helpModeMS),
    ZEL_FIELD (helpPan), ZEL_FIELD (helpScAudition), ZEL_FIELD (helpSmooth), ZEL_FIELD (helpAdvanced),
    ZEL_FIELD (helpSpectrum), ZEL_FIELD (helpBypass), ZEL_FIELD (helpPresetBack), ZEL_FIELD (helpPresetNext),
    ZEL_FIELD (helpPresetList), ZEL_FIELD (helpUndo), ZEL_FIELD (helpHelp), ZEL_FIELD (helpSettings),
    ZEL_FIELD (legendSidechain), ZEL_FIELD (legendCut), ZEL_FIELD (readoutSc), ZEL_FIELD (readoutCut),
    ZEL_FIELD (statusListening), ZEL_FIELD (statusNoBus), ZEL_FIELD (statusFrozen), ZEL_FIELD (statusAudition),
    ZEL_FIELD (statusNoSignal), ZEL_FIELD (summary),
    ZEL_FIELD (buttonClose), ZEL_FIELD (menuCheckForUpdates), ZEL_FIELD (menuUpdateTo), ZEL_FIELD (updateTitle),
    ZEL_FIELD (msgUpdateAvailable), ZEL_FIELD (msgUpToDate), ZEL_FIELD (msgNoConnection), ZEL_FIELD (msgLooking),
    ZEL_FIELD (buttonYes), ZEL_FIELD (buttonNo), ZEL_FIELD (toggleDoNotAsk),
};

#undef ZEL_FIELD

inline constexpr std::size_t kFieldCount = 70;
static_assert (kAllFields.size() == kFieldCount);
static_assert (sizeof (Table) == kFieldCount * sizeof (const char*));

// Fields shown as captions: lower case without exception.
inline constexpr std::array kCaptions {
    &Table::code, &Table::languageName, &Table::menuLanguage,
    &Table::labelAmount, &Table::labelLowCut, &Table::labelHighCut, &Table::labelFreeze, &Table::labelAttack,
    &Table::labelRelease, &Table::labelPan, &Table::labelScAudition, &Table::labelSmooth, &Table::labelAdvanced,
    &Table::labelLR, &Table::labelMS, &Table::labelMode,
    &Table::legendSidechain, &Table::legendCut, &Table::readoutSc, &Table::readoutCut,
    &Table::buttonClose, &Table::updateTitle, &Table::buttonYes, &Table::buttonNo, &Table::toggleDoNotAsk,
};

// Lower case too, apart from the product's name.
inline constexpr std::array kLowerCaseLines {
    &Table::tipAmount, &Table::tipLowCut, &Table::tipHighCut, &Table::tipFreeze, &Table::tipAttack,
    &Table::tipRelease, &Table::tipMode, &Table::tipPan, &Table::tipScAudition, &Table::tipSmooth,
    &Table::tipAdvanced, &Table::tipSpectrum, &Table::tipBypass,
    &Table::statusListening, &Table::statusNoBus, &Table::statusFrozen, &Table::statusAudition,
    &Table::statusNoSignal,
};

inline constexpr std::array kSentences {
    &Table::helpAmount, &Table::helpLowCut, &Table::helpHighCut, &Table::helpFreeze, &Table::helpAttack,
    &Table::helpRelease, &Table::helpModeLR, &Table::helpModeMS, &Table::helpPan, &Table::helpScAudition,
    &Table::helpSmooth, &Table::helpAdvanced, &Table::helpSpectrum, &Table::helpBypass, &Table::helpPresetBack,
    &Table::helpPresetNext, &Table::helpPresetList, &Table::helpUndo, &Table::helpHelp, &Table::helpSettings,
    &Table::summary,
};

inline juce::String textOf (int language, Field field)
{
    return juce::String::fromUTF8 (vo::plugins::zel::i18n::tableFor (language).*field);
}

// Capitals of the six languages' scripts. The C library's case functions only
// know ASCII in the locale a test runs in, so they cannot answer this.
inline bool isCapital (juce::juce_wchar c)
{
    const bool latin = c >= 'A' && c <= 'Z';
    const bool latin1 = c >= 0xC0 && c <= 0xDE && c != 0xD7;
    const bool turkish = c == 0x11E || c == 0x130 || c == 0x15E;
    const bool cyrillic = c >= 0x400 && c <= 0x42F;
    return latin || latin1 || turkish || cyrillic;
}

inline bool hasCapital (const juce::String& text)
{
    for (const auto c : text)
        if (isCapital (c))
            return true;

    return false;
}

namespace
{
using namespace vo::plugins::zel::i18n;

constexpr std::array<const char*, kNumLanguages> kCodes { "en", "de", "tr", "es", "it", "ru" };

TEST (TextTables, EveryFieldOfEveryTableIsWellFormedText)
{
    for (int language = 0; language < kNumLanguages; ++language)
        for (const auto& [name, field] : kAllFields)
        {
            const char* text = tableFor (language).*field;
            SCOPED_TRACE (std::string (kCodes[(size_t) language]) + "." + name);
            ASSERT_NE (text, nullptr);
            EXPECT_NE (*text, 0);
            EXPECT_TRUE (vo::core::Utf8Check::isWellFormed (text));
        }
}

TEST (TextTables, TablesComeInMenuOrderAndFindThemselvesByCode)
{
    for (int language = 0; language < kNumLanguages; ++language)
    {
        EXPECT_STREQ (tableFor (language).code, kCodes[(size_t) language]);
        EXPECT_EQ (languageIndexFor (tableFor (language).code), language);
    }
}

TEST (TextTables, CaptionsTooltipsAndStatusLinesAreLowerCase)
{
    for (int language = 0; language < kNumLanguages; ++language)
    {
        for (const auto field : kCaptions)
            EXPECT_FALSE (hasCapital (textOf (language, field))) << textOf (language, field);

        for (const auto field : kLowerCaseLines)
            EXPECT_FALSE (hasCapital (textOf (language, field).replace (vo::plugins::zel::product::kName, "")))
                << textOf (language, field);
    }
}

TEST (TextTables, HelpTextsAreSentences)
{
    for (int language = 0; language < kNumLanguages; ++language)
        for (const auto field : kSentences)
        {
            const auto text = textOf (language, field);
            EXPECT_TRUE (isCapital (text[0])) << text;
            EXPECT_TRUE (text.endsWithChar ('.')) << text;
        }
}

TEST (TextTables, DashesAndEllipsesAreTheRealCharacters)
{
    const juce::String emDash = juce::String::charToString (0x2014);
    const juce::String ellipsis = juce::String::charToString (0x2026);

    for (int language = 0; language < kNumLanguages; ++language)
        for (const auto& [name, field] : kAllFields)
        {
            const auto text = textOf (language, field);
            SCOPED_TRACE (std::string (kCodes[(size_t) language]) + "." + name);
            EXPECT_FALSE (text.contains ("--") || text.contains (" - ") || text.contains ("..."));

            // A translation keeps the original's dashes and ellipses.
            const auto english = textOf (kEnglish, field);
            EXPECT_TRUE (! english.contains (emDash) || text.contains (emDash));
            EXPECT_TRUE (! english.contains (ellipsis) || text.contains (ellipsis));
        }
}

TEST (TextTables, PresetListHelpKeepsTheStarAndTheSaveButton)
{
    for (int language = 0; language < kNumLanguages; ++language)
    {
        const auto text = textOf (language, &Table::helpPresetList);
        EXPECT_EQ (text.indexOfChar ('*'), text.lastIndexOfChar ('*')) << text;
        EXPECT_TRUE (text.containsChar ('*') && text.contains ("Save")) << text;
    }
}

TEST (TextTables, UpdateMessageHasOnePlaceForTheVersion)
{
    for (int language = 0; language < kNumLanguages; ++language)
    {
        const std::string_view text { tableFor (language).msgUpdateAvailable };
        EXPECT_EQ (std::count (text.begin(), text.end(), '%'), 1) << text;
        EXPECT_NE (text.find ("%s"), std::string_view::npos) << text;
    }
}

TEST (TextTables, NoConnectionNamesTheSiteInEveryLanguage)
{
    const std::string site = vo::plugins::zel::product::kSiteName;
    const std::array<std::string, kNumLanguages> expected {
        "No connection — " + site + " could not be reached.",
        "Keine Verbindung — " + site + " war nicht erreichbar.",
        "Bağlantı yok — " + site + "'a ulaşılamadı.",
        "Sin conexión — no se ha podido acceder a " + site + ".",
        "Nessuna connessione — " + site + " non è raggiungibile.",
        "Нет соединения — " + site + " недоступен.",
    };

    for (int language = 0; language < kNumLanguages; ++language)
        EXPECT_EQ (tableFor (language).msgNoConnection, expected[(size_t) language]);
}

TEST (TextTables, AgreedShortTextsAreVerbatim)
{
    struct Sample
    {
        int language;
        Field field;
        const char* text;
    };

    const std::array samples {
        Sample { 0, &Table::tipSpectrum, "sidechain spectrum and the cut, hover for values" },
        Sample { 0, &Table::msgLooking, "Looking for updates …" },
        Sample { 1, &Table::labelAmount, "stärke" },
        Sample { 1, &Table::statusFrozen, "eingefroren — die absenkung bleibt, bis du sie freigibst" },
        Sample { 1, &Table::menuUpdateTo, "Update auf" },
        Sample { 2, &Table::tipScAudition, "sidechain'i low cut ve high cut uygulanmış hâliyle dinle" },
        Sample { 2, &Table::msgUpdateAvailable, "ZEL %s yayınlandı. Şimdi kurulsun mu?" },
        Sample { 3, &Table::tipSpectrum, "espectro del sidechain y el corte, pasa el ratón para ver valores" },
        Sample { 3, &Table::msgUpdateAvailable, "ZEL %s ya está disponible. ¿Instalarlo ahora?" },
        Sample { 4, &Table::labelSmooth, "smussatura" },
        Sample { 4, &Table::statusNoBus, "nessun bus sidechain — in ascolto su questa stessa traccia" },
        Sample { 5, &Table::labelRelease, "релиз" },
        Sample { 5, &Table::statusNoSignal, "нет сигнала сайдчейна — резать пока нечего" },
        Sample { 5, &Table::msgLooking, "Поиск обновлений …" },
    };

    for (const auto& sample : samples)
        EXPECT_STREQ (tableFor (sample.language).*sample.field, sample.text);
}

TEST (TextTables, AnIndexOutsideTheSixGivesEnglish)
{
    EXPECT_EQ (&tableFor (-1), &tableFor (kEnglish));
    EXPECT_EQ (&tableFor (kNumLanguages), &tableFor (kEnglish));
}

TEST (TextTables, CodesMatchOnTheirFirstTwoLettersInAnyCase)
{
    EXPECT_EQ (languageIndexFor ("DE_at"), 1);
    EXPECT_EQ (languageIndexFor ("de-AT"), 1);
    EXPECT_EQ (languageIndexFor ("IT"), 4);
    EXPECT_EQ (languageIndexFor ("xx"), kEnglish);
    EXPECT_EQ (languageIndexFor ("d"), kEnglish);
    EXPECT_EQ (languageIndexFor (""), kEnglish);
}
} // namespace
} // namespace vo::test
