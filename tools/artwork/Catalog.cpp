#include "Catalog.h"

#include "CapsuleBody.h"
#include "CreamFace.h"
#include "DarkFace.h"
#include "IndicatorLamp.h"
#include "PanelTexture.h"
#include "PresetWindow.h"
#include "PushButton.h"
#include "RotaryKnob.h"
#include "ScrewHead.h"
#include "ToggleSwitch.h"
#include "Wordmark.h"

#include <array>
#include <utility>

namespace zel::artwork
{
namespace
{
    // The editor's calibration: each widget maps its own circle onto these,
    // so the bodies must sit exactly there.
    const std::array<std::pair<const char*, Circle>, 7> calibrations { {
        { "zelbuttonoff", { 127.64, 132.01, 120.13 } },
        { "zelbuttonon", { 127.64, 129.79, 120.08 } },
        { "zelbuttonred", { 127.65, 128.24, 120.09 } },
        { "zellampon", { 111.04, 98.40, 90.26 } },
        { "zellampoff", { 128.96, 133.85, 98.31 } },
        { "zelswitchon", { 127.86, 126.21, 76.01 } },
        { "zelswitchoff", { 127.32, 127.78, 76.23 } },
    } };

    Circle circleOf (const std::string& name) { return *Catalog::calibration (name); }
} // namespace

std::optional<Circle> Catalog::calibration (const std::string& name)
{
    for (const auto& [stem, circle] : calibrations)
        if (name == stem)
            return circle;
    return std::nullopt;
}

std::vector<std::unique_ptr<Artwork>> Catalog::artworks()
{
    std::vector<std::unique_ptr<Artwork>> all;
    all.push_back (std::make_unique<PushButton> ("zelbuttonoff", circleOf ("zelbuttonoff"), PushButton::Ring::unlit));
    all.push_back (std::make_unique<PushButton> ("zelbuttonon", circleOf ("zelbuttonon"), PushButton::Ring::amber));
    all.push_back (std::make_unique<PushButton> ("zelbuttonred", circleOf ("zelbuttonred"), PushButton::Ring::red));
    all.push_back (std::make_unique<IndicatorLamp> ("zellampon", circleOf ("zellampon"), true));
    all.push_back (std::make_unique<IndicatorLamp> ("zellampoff", circleOf ("zellampoff"), false));
    all.push_back (std::make_unique<ToggleSwitch> ("zelswitchon", circleOf ("zelswitchon"), true));
    all.push_back (std::make_unique<ToggleSwitch> ("zelswitchoff", circleOf ("zelswitchoff"), false));
    all.push_back (std::make_unique<CapsuleBody>());
    all.push_back (std::make_unique<PanelTexture>());
    all.push_back (std::make_unique<ScrewHead>());
    all.push_back (std::make_unique<PresetWindow>());
    all.push_back (std::make_unique<RotaryKnob>());
    all.push_back (std::make_unique<CreamFace>());
    all.push_back (std::make_unique<DarkFace>());
    all.push_back (std::make_unique<Wordmark>());
    return all;
}
} // namespace zel::artwork
