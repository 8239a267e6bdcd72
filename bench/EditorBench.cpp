// What ZEL's editor costs the message thread: a full repaint of the open
// editor with warm caches at 1× and 2×, and opening one (construction to the
// first painted frame, fonts already loaded). Before the timings it prints
// the memory an open editor adds at 2×, its caches included.

#include "plugin/Processor.h"
#include "plugin/ui/Editor.h"
#include "plugin/update/PrefsFile.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <memory>

namespace
{

using vo::plugins::zel::Editor;
using vo::plugins::zel::Processor;

// No update request from a benchmark.
void quietUpdates (Processor& processor)
{
    vo::plugins::zel::upd::UpdatePrefs prefs;
    prefs.dontAsk = true;
    vo::plugins::zel::upd::PrefsFile (processor.getUserDataFolder()).write (prefs);
}

void paintInto (Editor& editor, juce::Image& image, float scale)
{
    juce::Graphics g (image);
    g.addTransform (juce::AffineTransform::scale (scale));
    editor.paintEntireComponent (g, true);
}

// Its own function so that a profiler can collect the warm repaints alone.
__attribute__ ((noinline)) void repaintWarm (Editor& editor, juce::Image& image, float scale)
{
    paintInto (editor, image, scale);
    benchmark::DoNotOptimize (image);
}

juce::Image canvasFor (const Editor& editor, float scale)
{
    return { juce::Image::ARGB, juce::roundToInt ((float) editor.getWidth() * scale),
             juce::roundToInt ((float) editor.getHeight() * scale), true };
}

void EditorPaint (benchmark::State& state)
{
    const auto scale = static_cast<float> (state.range (0));
    Processor processor;
    quietUpdates (processor);
    Editor editor (processor);
    auto image = canvasFor (editor, scale);
    paintInto (editor, image, scale);
    for (auto _ : state)
        repaintWarm (editor, image, scale);
}

void EditorOpen (benchmark::State& state)
{
    Processor processor;
    quietUpdates (processor);
    juce::SharedResourcePointer<vo::gui::TypefaceCache> fontsLoaded;
    for (auto _ : state)
    {
        Editor editor (processor);
        auto image = canvasFor (editor, 1.0f);
        paintInto (editor, image, 1.0f);
        benchmark::DoNotOptimize (image);
    }
}

std::size_t heapInUse()
{
    return mallinfo2().uordblks;
}

void reportMemoryAtTwice()
{
    Processor processor;
    quietUpdates (processor);
    juce::SharedResourcePointer<vo::gui::TypefaceCache> fontsLoaded;
    { Editor warmUp (processor); }
    const auto before = heapInUse();
    {
        Editor editor (processor);
        auto image = canvasFor (editor, 2.0f);
        const auto canvas = static_cast<std::size_t> (image.getWidth() * image.getHeight() * 4);
        paintInto (editor, image, 2.0f);
        const auto after = heapInUse();
        std::printf ("open editor at 2x: %.1f MB on the heap (%.1f MB of it the painted frame)\n",
                     (double) (after - before) / 1.0e6, (double) canvas / 1.0e6);
    }
}

} // namespace

BENCHMARK (EditorPaint)->ArgName ("scale")->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);
BENCHMARK (EditorOpen)->Unit (benchmark::kMillisecond);

int main (int argc, char** argv)
{
    char pattern[] = "/tmp/zel-bench-home-XXXXXX";
    if (const char* home = mkdtemp (pattern))
        setenv ("HOME", home, 1);
    {
        juce::ScopedJuceInitialiser_GUI juce;
        reportMemoryAtTwice();
        benchmark::Initialize (&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    juce::File (pattern).deleteRecursively();
    return 0;
}
