// The toolkit's caches: a repaint with warm caches must not blur or generate
// grain (counted, the benchmark fails otherwise), and what each cache costs
// to build cold at 1× and 2×.

#include "gui/Card.h"
#include "gui/GrainTexture.h"
#include "gui/ImageShadow.h"
#include "gui/ThreeSliceImage.h"
#include "gui/melatonin/DropShadow.h"
#include "gui/melatonin/StackBlur.h"
#include "plugin/ui/ProductTheme.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{

using vo::gui::Theme;

// The editor's design size, the area the background grain covers.
constexpr int kEditorWidth = 780;
constexpr int kEditorHeight = 520;
constexpr std::uint32_t kBackgroundSeed = 0x5EEDA110;
constexpr float kGrainOpacity = 0.05f;
constexpr int kCapWidth = 24;

const juce::Rectangle<float> kCardBounds { 40.0f, 60.0f, 320.0f, 200.0f };
const juce::Rectangle<int> kStripBounds { 400, 80, 340, 48 };

float scaleOf (const benchmark::State& state)
{
    return static_cast<float> (state.range (0));
}

juce::Image canvasFor (float scale)
{
    return juce::Image (juce::Image::ARGB, juce::roundToInt (kEditorWidth * scale),
                        juce::roundToInt (kEditorHeight * scale), true);
}

template <typename Draw>
void paintInto (juce::Image& canvas, float scale, Draw&& draw)
{
    juce::Graphics g (canvas);
    g.addTransform (juce::AffineTransform::scale (scale));
    draw (g);
}

juce::Image stripArtwork()
{
    juce::Image art (juce::Image::ARGB, 96, 48, true);
    juce::Graphics g (art);
    g.setColour (juce::Colour (0xff3a2a26));
    g.fillRoundedRectangle (art.getBounds().toFloat(), 24.0f);
    return art;
}

juce::Path cardPath()
{
    juce::Path path;
    path.addRoundedRectangle (kCardBounds, 12.0f);
    return path;
}

// What an editor background holds: grain, a shadowed card and a stretched
// bitmap with its shadow, each with its own cache.
struct Scene
{
    explicit Scene (const Theme& themeToUse)
        : theme (themeToUse), cardShadow (theme.panelShadow.toShadow()), stripShadow (theme.controlShadow)
    {
    }

    void paint (juce::Graphics& g)
    {
        g.fillAll (theme.background);
        grain.draw (g, { 0, 0, kEditorWidth, kEditorHeight }, kGrainOpacity, kBackgroundSeed);
        vo::gui::drawCard (g, kCardBounds, theme, &cardShadow);
        stripShadow.draw (g, art, kStripBounds.toFloat(), kCapWidth);
        vo::gui::drawThreeSliceImage (g, art, kStripBounds, kCapWidth, &strip);
    }

    Theme theme;
    juce::Image art = stripArtwork();
    vo::gui::GrainTexture grain;
    melatonin::DropShadow cardShadow;
    vo::gui::ImageShadow stripShadow;
    vo::gui::ThreeSliceCache strip;
};

void WarmRepaint (benchmark::State& state)
{
    const auto scale = scaleOf (state);
    auto canvas = canvasFor (scale);
    Scene scene (vo::plugins::zel::ui::productTheme());
    paintInto (canvas, scale, [&] (juce::Graphics& g) { scene.paint (g); });

    const auto blurs = melatonin::StackBlur::runCount();
    const auto grainBuilds = scene.grain.getBuildCount();
    const auto stripBuilds = scene.strip.getBuildCount();
    for (auto _ : state)
    {
        paintInto (canvas, scale, [&] (juce::Graphics& g) { scene.paint (g); });
        benchmark::ClobberMemory();
    }

    const auto extraBlurs = static_cast<double> (melatonin::StackBlur::runCount() - blurs);
    const auto extraGrain = static_cast<double> (scene.grain.getBuildCount() - grainBuilds);
    const auto extraStrips = static_cast<double> (scene.strip.getBuildCount() - stripBuilds);
    state.counters["blurs"] = extraBlurs;
    state.counters["grainBuilds"] = extraGrain;
    state.counters["threeSliceBuilds"] = extraStrips;
    if (extraBlurs + extraGrain + extraStrips > 0.0)
        state.SkipWithError ("a warm repaint rebuilt a cache");
}

void ShadowBuild (benchmark::State& state)
{
    const auto scale = scaleOf (state);
    auto canvas = canvasFor (scale);
    const auto recipe = vo::plugins::zel::ui::productTheme().panelShadow.toShadow();
    const auto path = cardPath();
    for (auto _ : state)
    {
        melatonin::DropShadow shadow (recipe);
        paintInto (canvas, scale, [&] (juce::Graphics& g) { shadow.render (g, path); });
    }
}

void GrainBuild (benchmark::State& state)
{
    const auto scale = scaleOf (state);
    auto canvas = canvasFor (scale);
    for (auto _ : state)
    {
        vo::gui::GrainTexture grain;
        paintInto (canvas, scale, [&] (juce::Graphics& g) {
            grain.draw (g, { 0, 0, kEditorWidth, kEditorHeight }, kGrainOpacity, kBackgroundSeed);
        });
    }
}

void ThreeSliceBuild (benchmark::State& state)
{
    const auto scale = scaleOf (state);
    auto canvas = canvasFor (scale);
    const auto art = stripArtwork();
    for (auto _ : state)
    {
        vo::gui::ThreeSliceCache cache;
        paintInto (canvas, scale, [&] (juce::Graphics& g) { vo::gui::drawThreeSliceImage (g, art, kStripBounds, kCapWidth, &cache); });
    }
}

} // namespace

BENCHMARK (WarmRepaint)->Arg (1)->Arg (2)->Unit (benchmark::kMicrosecond);
BENCHMARK (ShadowBuild)->Arg (1)->Arg (2)->Unit (benchmark::kMicrosecond);
BENCHMARK (GrainBuild)->Arg (1)->Arg (2)->Unit (benchmark::kMicrosecond);
BENCHMARK (ThreeSliceBuild)->Arg (1)->Arg (2)->Unit (benchmark::kMicrosecond);

BENCHMARK_MAIN();
