// The eleven parameters as hosts and presets see them: order, ranges, skews,
// defaults and the texts shown for values.

#include "core/ParameterFactory.h"
#include "plugin/Parameters.h"
#include "plugin/Processor.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vo::test
{
namespace
{
using vo::plugins::zel::Processor;

juce::RangedAudioParameter& param (Processor& p, const char* id)
{
    return p.getStateManager().param (id);
}

juce::String textAtPlain (Processor& p, const char* id, float plain)
{
    auto& prm = param (p, id);
    return prm.getText (prm.convertTo0to1 (plain), 64);
}

juce::String textAtNormalised (Processor& p, const char* id, float normalised)
{
    return param (p, id).getText (normalised, 64);
}
} // namespace

TEST (Parameters, OrderNamesAndDefaults)
{
    Processor p;
    const char* ids[] = { "amount", "lowCut", "highCut", "freeze", "attack", "release",
                          "mode", "pan", "scAudition", "smooth", "bypass" };
    const char* names[] = { "Amount", "Low Cut", "High Cut", "Freeze", "Attack", "Release",
                            "Mode", "Pan", "SC Audition", "Smooth", "Bypass" };
    const float defaults[] = { 0, 20, 20000, 0, 10, 150, 0, 0, 0, 30, 0 };

    const auto& all = p.getParameters();
    ASSERT_EQ (all.size(), 11);
    for (int i = 0; i < 11; ++i)
    {
        auto* prm = dynamic_cast<juce::RangedAudioParameter*> (all[i]);
        ASSERT_NE (prm, nullptr);
        EXPECT_EQ (prm->getParameterID(), ids[i]);
        EXPECT_EQ (prm->getName (64), names[i]);
        EXPECT_TRUE (prm->isAutomatable());
        EXPECT_NEAR (prm->convertFrom0to1 (prm->getDefaultValue()), defaults[i], 1e-3f) << ids[i];
        EXPECT_EQ (prm->getVersionHint(), 1);
    }
}

TEST (Parameters, RangesStepsAndSkews)
{
    Processor p;
    struct Expect { const char* id; float min, max, step, skew; };
    const Expect table[] = {
        { "amount", 0, 100, 0.1f, 1.0f },
        { "lowCut", 20, 20000, 0.1f, 0.19889f },
        { "highCut", 20, 20000, 0.1f, 0.19889f },
        { "attack", 5, 200, 0.01f, 0.27024f },
        { "release", 10, 2000, 0.01f, 0.26115f },
        { "pan", -100, 100, 0.1f, 1.0f },
        { "smooth", 0, 100, 0.1f, 1.0f },
    };
    for (const auto& e : table)
    {
        const auto& range = param (p, e.id).getNormalisableRange();
        EXPECT_EQ (range.start, e.min) << e.id;
        EXPECT_EQ (range.end, e.max) << e.id;
        EXPECT_FLOAT_EQ (range.interval, e.step) << e.id;
        EXPECT_NEAR (range.skew, e.skew, 1e-5f) << e.id;
        EXPECT_FALSE (range.symmetricSkew) << e.id;
    }

    // Single-precision skew, computed, not stored.
    const float centre = std::sqrt (20.0f * 20000.0f);
    EXPECT_EQ (param (p, "lowCut").getNormalisableRange().skew,
               std::log (0.5f) / std::log ((centre - 20.0f) / (20000.0f - 20.0f)));
}

TEST (Parameters, CentreValuesSitAtHalfway)
{
    Processor p;
    EXPECT_EQ (textAtNormalised (p, "lowCut", 0.5f), "632 Hz");
    EXPECT_EQ (textAtNormalised (p, "highCut", 0.5f), "632 Hz");
    EXPECT_EQ (textAtNormalised (p, "attack", 0.5f), "20 ms");
    EXPECT_EQ (textAtNormalised (p, "release", 0.5f), "150 ms");
}

TEST (Parameters, ValueTexts)
{
    Processor p;
    EXPECT_EQ (textAtPlain (p, "amount", 30.0f), "30 %");
    EXPECT_EQ (textAtPlain (p, "amount", 99.95f), "100 %");
    EXPECT_EQ (textAtPlain (p, "smooth", 0.0f), "0 %");

    EXPECT_EQ (vo::plugins::zel::params::panText (25.0f), "+25 %");
    EXPECT_EQ (vo::plugins::zel::params::panText (0.0f), "0 %");
    EXPECT_EQ (vo::plugins::zel::params::panText (-100.0f), "-100 %");
    EXPECT_EQ (vo::plugins::zel::params::panText (0.4f), "0 %");
    EXPECT_EQ (vo::plugins::zel::params::panText (0.6f), "+1 %");
    EXPECT_EQ (textAtPlain (p, "pan", -100.0f), "-100 %");

    EXPECT_EQ (textAtPlain (p, "attack", 9.5f), "9.5 ms");
    EXPECT_EQ (textAtPlain (p, "attack", 10.0f), "10 ms");
    EXPECT_EQ (textAtPlain (p, "release", 10.0f), "10 ms");
    EXPECT_EQ (vo::core::ParameterFactory::millisecondsText (0.5f), "0.50 ms");
    EXPECT_EQ (vo::core::ParameterFactory::millisecondsText (5.0f), "5.0 ms");
    EXPECT_EQ (vo::core::ParameterFactory::millisecondsText (150.0f), "150 ms");

    EXPECT_EQ (textAtPlain (p, "lowCut", 20.0f), "20 Hz");
    EXPECT_EQ (textAtPlain (p, "highCut", 20000.0f), "20.0 kHz");
    EXPECT_EQ (vo::core::ParameterFactory::frequencyText (999.6f, 20.0f, {}), "1000 Hz");
    EXPECT_EQ (vo::core::ParameterFactory::frequencyText (1000.0f, 20.0f, {}), "1.0 kHz");
    EXPECT_EQ (vo::core::ParameterFactory::frequencyText (20.04f, 20.0f, "Off"), "Off");
    EXPECT_EQ (vo::core::ParameterFactory::frequencyText (20.2f, 20.0f, "Off"), "20 Hz");

    EXPECT_EQ (textAtNormalised (p, "mode", 0.0f), "L/R");
    EXPECT_EQ (textAtNormalised (p, "mode", 1.0f), "M/S");
}

TEST (Parameters, TextToValueTakesTheLeadingNumber)
{
    Processor p;
    auto& lowCut = param (p, "lowCut");
    EXPECT_NEAR (lowCut.convertFrom0to1 (lowCut.getValueForText ("250 Hz")), 250.0f, 0.05f);
    auto& amount = param (p, "amount");
    EXPECT_NEAR (amount.convertFrom0to1 (amount.getValueForText ("42 %")), 42.0f, 0.05f);
    auto& mode = param (p, "mode");
    EXPECT_EQ (mode.getValueForText ("M/S"), 1.0f);
}

TEST (Parameters, FuzzedValuesAndTextsStaySane)
{
    Processor p;
    juce::Random random (1234);
    for (auto* raw : p.getParameters())
    {
        auto* prm = dynamic_cast<juce::RangedAudioParameter*> (raw);
        for (int i = 0; i < 500; ++i)
        {
            const float v = random.nextFloat();
            prm->setValue (v);
            const auto text = prm->getText (prm->getValue(), 64);
            EXPECT_TRUE (text.isNotEmpty());
            const float back = prm->getValueForText (text);
            EXPECT_TRUE (std::isfinite (back));
            EXPECT_GE (back, 0.0f);
            EXPECT_LE (back, 1.0f);
        }
        for (const char* junk : { "", "abc", "nan", "-inf", "1e400", "    ", "%%%" })
        {
            const float back = prm->getValueForText (junk);
            EXPECT_TRUE (std::isfinite (back)) << junk;
        }
    }
}

} // namespace vo::test
