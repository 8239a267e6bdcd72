// What opening an editor shell costs: construction to the first painted
// frame, with the fonts already loaded by an earlier editor of the process
// (warm) and with the process's first editor loading them (cold). The
// product's processor and theme, a shell with an empty body.

#include "gui/EditorShell.h"
#include "plugin/Processor.h"
#include "plugin/ui/ProductTheme.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <cstdlib>
#include <memory>

namespace
{

class EmptyEditor : public vo::gui::EditorShell
{
public:
    EmptyEditor (vo::core::ProcessorBase& p, const vo::gui::Theme& t)
        : EditorShell (p, t, kDesignWidth, kDefaultDesignHeight) {}
};

void openAndPaint (vo::core::ProcessorBase& processor, const vo::gui::Theme& theme)
{
    EmptyEditor editor (processor, theme);
    auto frame = editor.createComponentSnapshot (editor.getLocalBounds());
    benchmark::DoNotOptimize (frame);
}

void OpenShellWarm (benchmark::State& state)
{
    vo::plugins::zel::Processor processor;
    const auto theme = vo::plugins::zel::ui::productTheme();
    juce::SharedResourcePointer<vo::gui::TypefaceCache> fontsLoaded;
    for (auto _ : state)
        openAndPaint (processor, theme);
}

// The processor keeps the fonts alive once an editor opened; dropping that
// hold between openings makes every opening the first.
void OpenShellCold (benchmark::State& state)
{
    vo::plugins::zel::Processor processor;
    const auto theme = vo::plugins::zel::ui::productTheme();
    for (auto _ : state)
    {
        openAndPaint (processor, theme);
        state.PauseTiming();
        processor.typefaceKeepAlive.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK (OpenShellWarm)->Unit (benchmark::kMillisecond);
BENCHMARK (OpenShellCold)->Unit (benchmark::kMillisecond);

int main (int argc, char** argv)
{
    char pattern[] = "/tmp/zel-bench-home-XXXXXX";
    if (const char* home = mkdtemp (pattern))
        setenv ("HOME", home, 1);
    juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    juce::File (pattern).deleteRecursively();
    return 0;
}
