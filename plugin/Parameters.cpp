#include "Parameters.h"

#include "core/ParameterFactory.h"

#include <cmath>

namespace vo::plugins::zel::params
{

using core::ParameterFactory;

juce::String panText (float value)
{
    const int n = juce::roundToInt (value);
    return (n > 0 ? "+" : "") + juce::String (n) + " %";
}

juce::AudioProcessorValueTreeState::ParameterLayout createLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    layout.add (ParameterFactory::makePercent (ids::amount, kVersionHint, "Amount", 0.0f));
    layout.add (ParameterFactory::makeHz (ids::lowCut, kVersionHint, "Low Cut", 20.0f, 20000.0f, 20.0f, {}));
    layout.add (ParameterFactory::makeHz (ids::highCut, kVersionHint, "High Cut", 20.0f, 20000.0f, 20000.0f, {}));
    layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { ids::freeze, kVersionHint }, "Freeze", false));
    layout.add (ParameterFactory::makeMs (ids::attack, kVersionHint, "Attack", 5.0f, 200.0f, 10.0f, 20.0f));
    layout.add (ParameterFactory::makeMs (ids::release, kVersionHint, "Release", 10.0f, 2000.0f, 150.0f, 150.0f));
    layout.add (std::make_unique<juce::AudioParameterChoice> (juce::ParameterID { ids::mode, kVersionHint }, "Mode",
                                                              juce::StringArray { "L/R", "M/S" }, 0));
    layout.add (std::make_unique<juce::AudioParameterFloat> (
        juce::ParameterID { ids::pan, kVersionHint }, "Pan", juce::NormalisableRange<float> (-100.0f, 100.0f, 0.1f, 1.0f), 0.0f,
        juce::AudioParameterFloatAttributes()
            .withStringFromValueFunction ([] (float v, int) { return panText (v); })
            .withValueFromStringFunction ([] (const juce::String& t) { return ParameterFactory::numberFromText (t, 0.0f); })));
    layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { ids::scAudition, kVersionHint }, "SC Audition", false));
    layout.add (ParameterFactory::makePercent (ids::smooth, kVersionHint, "Smooth", 30.0f));

    return layout;
}

namespace
{
    struct PresetRow
    {
        const char* name;
        float amount, lowCut, highCut, attack, release, mode, pan, smooth;
    };

    constexpr PresetRow kFactoryTable[] = {
        { "Default",          0.0f,  20.0f, 20000.0f, 10.0f, 150.0f, 0.0f,    0.0f, 30.0f },
        { "Vodu - Dav Irur",  70.0f, 30.0f, 250.0f,   5.0f,  120.0f, 0.0f,    0.0f, 35.0f },
        { "Riziz - Oro Zida", 55.0f, 150.0f, 8000.0f, 15.0f, 250.0f, 0.0f,    0.0f, 50.0f },
        { "Sub - Orta",       80.0f, 20.0f, 120.0f,   5.0f,  90.0f,  1.0f, -100.0f, 25.0f },
        { "Yanlar - Genis",   60.0f, 200.0f, 12000.0f, 10.0f, 300.0f, 1.0f,  100.0f, 40.0f },
        { "Yumusak Tutkal",   30.0f, 40.0f, 16000.0f, 30.0f, 500.0f, 0.0f,    0.0f, 60.0f },
    };
}

std::vector<core::FactoryPreset> createFactoryPresets()
{
    std::vector<core::FactoryPreset> presets;
    for (const auto& row : kFactoryTable)
    {
        presets.push_back ({ row.name,
                             { { ids::amount, row.amount },
                               { ids::lowCut, row.lowCut },
                               { ids::highCut, row.highCut },
                               { ids::attack, row.attack },
                               { ids::release, row.release },
                               { ids::mode, row.mode },
                               { ids::pan, row.pan },
                               { ids::smooth, row.smooth },
                               { ids::freeze, 0.0f },
                               { ids::scAudition, 0.0f } } });
    }
    return presets;
}

} // namespace vo::plugins::zel::params
