// Numbers read back from files, states and texts: the same under every locale
// of the host, and no undefined arithmetic on damaged digits.

#include "core/NumberText.h"
#include "plugin/Processor.h"
#include "support/ProcessorAccess.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>

namespace vo::test
{
namespace
{

using core::leadingNumber;
using plugins::zel::Processor;

// A German number format for LC_NUMERIC, compiled into a temporary folder
// from the system's locale sources; false where they are not installed.
class CommaLocale
{
public:
    CommaLocale()
    {
        const auto sources = juce::File ("/usr/share/i18n/locales/de_DE");
        if (! sources.existsAsFile())
            return;
        if (! folder.getFile().createDirectory())
            return;
        const auto target = folder.getFile().getChildFile ("de_DE.UTF-8");
        juce::ChildProcess localedef;
        if (! localedef.start (juce::StringArray { "localedef", "-i", "de_DE", "-f", "UTF-8", target.getFullPathName() })
            || ! localedef.waitForProcessToFinish (60000))
            return;
        setenv ("LOCPATH", folder.getFile().getFullPathName().toRawUTF8(), 1);
        active = std::setlocale (LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    }

    ~CommaLocale()
    {
        std::setlocale (LC_NUMERIC, "C");
        unsetenv ("LOCPATH");
        folder.getFile().deleteRecursively();
    }

    bool active = false;

private:
    juce::TemporaryFile folder;
};

TEST (NumberText, ReadsTheLeadingNumberAsTheFrameworkDoesWithoutItsOverflow)
{
    EXPECT_EQ (leadingNumber ("  +1.5 times"), 1.5);
    EXPECT_EQ (leadingNumber ("-30"), -30.0);
    EXPECT_EQ (leadingNumber ("2.01"), 2.01);
    EXPECT_FALSE (leadingNumber ("abc").has_value());
    EXPECT_FALSE (leadingNumber ("").has_value());

    EXPECT_EQ (leadingNumber ("1.E" + juce::String::repeatedString ("3", 40)), HUGE_VAL);
    EXPECT_EQ (leadingNumber ("-1e" + juce::String::repeatedString ("9", 40)), -HUGE_VAL);
    EXPECT_EQ (leadingNumber ("1e-" + juce::String::repeatedString ("9", 40)), 0.0);
    EXPECT_EQ (leadingNumber ("-0." + juce::String::repeatedString ("0", 400) + "1"), 0.0);
    EXPECT_TRUE (std::signbit (*leadingNumber ("-0." + juce::String::repeatedString ("0", 400) + "1")));
    EXPECT_EQ (leadingNumber (juce::String::repeatedString ("9", 400)), HUGE_VAL);
    EXPECT_EQ (leadingNumber ("0.001e+400"), HUGE_VAL);
    EXPECT_EQ (leadingNumber ("1000e-400"), 0.0);
    EXPECT_TRUE (std::isinf (core::floatFromText ("1e300")));
    EXPECT_EQ (core::floatFromText ("words"), 0.0f);

    EXPECT_TRUE (core::isFiniteNumber (juce::var ("0.25")));
    EXPECT_FALSE (core::isFiniteNumber (juce::var ("0.25 dB")));
    EXPECT_FALSE (core::isFiniteNumber (juce::var ("1e400")));
}

TEST (NumberText, AHostWithACommaLocaleStillReadsPresetsAndTexts)
{
    Processor p;
    auto& presets = p.getPresetManager();
    setPlain (p, "amount", 42.5f);
    setPlain (p, "highCut", 5000.0f);
    ASSERT_TRUE (presets.savePreset ("Comma"));
    setPlain (p, "amount", 0.0f);

    CommaLocale comma;
    if (! comma.active)
        GTEST_SKIP() << "no de_DE locale sources on this machine";
    ASSERT_EQ (std::strtod ("0.5", nullptr), 0.0) << "the C library now stops at the '.'";

    EXPECT_TRUE (core::isFiniteNumber (juce::var ("0.5")));
    ASSERT_TRUE (presets.loadPreset ("Comma"));
    EXPECT_NEAR (plain (p, "amount"), 42.5f, 1e-3f);
    EXPECT_NEAR (plain (p, "highCut"), 5000.0f, 0.05f);
    EXPECT_EQ (core::leadingNumber ("1.25"), 1.25);
}

} // namespace
} // namespace vo::test
