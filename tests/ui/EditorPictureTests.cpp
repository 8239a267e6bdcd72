// The whole editor as a user first sees it, against its goldens at 1× and 2×:
// closed in English with the demo groove carving live, and advanced in
// Russian with the cut frozen (the longest captions, the lit freeze button).

#include "plugin/Processor.h"
#include "plugin/ui/Editor.h"
#include "plugin/update/PrefsFile.h"
#include "render/DemoSignals.h"
#include "tests/gui/support/GoldenPicture.h"
#include "tests/gui/support/PictureRenderer.h"
#include "tests/support/ProcessorAccess.h"

#include <gtest/gtest.h>

namespace vo::test
{
namespace
{

using plugins::zel::Editor;
using plugins::zel::Processor;

constexpr int kBlock = 512;
constexpr double kPlaySeconds = 2.04; // just after the fifth kick
constexpr int kRussian = 5;

// Plays the demo's pad with its kick-and-bass sidechain through the real
// processor, so the spectrum view shows what the engine handed over.
void playTheDemo (Processor& processor, bool freeze)
{
    auto layout = processor.getBusesLayout();
    layout.inputBuses.getReference (1) = juce::AudioChannelSet::stereo();
    processor.setBusesLayout (layout);
    setPlain (processor, "amount", 80.0f);
    setPlain (processor, "lowCut", 40.0f);
    setPlain (processor, "highCut", 9000.0f);
    processor.prepareToPlay (tools::DemoSignals::kSampleRate, kBlock);

    auto track = tools::DemoSignals::makePad();
    auto groove = tools::DemoSignals::makeKickAndBass();
    const auto end = static_cast<int> (kPlaySeconds * tools::DemoSignals::kSampleRate);
    juce::AudioBuffer<float> buffer (4, kBlock);
    juce::MidiBuffer midi;
    for (int start = 0; start + kBlock <= end; start += kBlock)
    {
        if (freeze && start + 2 * kBlock > end)
            setPlain (processor, "freeze", 1.0f);
        for (int c = 0; c < 2; ++c)
        {
            buffer.copyFrom (c, 0, track, c, start, kBlock);
            buffer.copyFrom (c + 2, 0, groove, c, start, kBlock);
        }
        processor.processBlock (buffer, midi);
    }
}

class EditorPictures : public ::testing::TestWithParam<float>
{
protected:
    EditorPictures()
    {
        plugins::zel::upd::UpdatePrefs quiet;
        quiet.dontAsk = true;
        plugins::zel::upd::PrefsFile (processor.getUserDataFolder()).write (quiet);
        for (const char* remembered : { "lang.txt", "ui-scale.txt" })
            processor.getUserDataFolder().getChildFile (remembered).deleteFile();
    }

    juce::Image pictureOf (Editor& editor)
    {
        editor.getSpectrum().poll();
        return PictureRenderer::ofComponent (editor, GetParam());
    }

    Processor processor;
};

TEST_P (EditorPictures, ClosedAndCarvingLive)
{
    playTheDemo (processor, false);
    Editor editor (processor);
    editor.setLanguage (0);
    EXPECT_TRUE (GoldenPicture::matches (pictureOf (editor), GoldenPicture::nameAt ("editor-live", GetParam())));
}

TEST_P (EditorPictures, AdvancedInRussianWithTheCutFrozen)
{
    playTheDemo (processor, true);
    Editor editor (processor);
    editor.setLanguage (kRussian);
    editor.toggleAdvanced();
    editor.getAdvancedButton().setLit (true, true);
    editor.getFreezeButton().setLit (true, true);
    EXPECT_TRUE (GoldenPicture::matches (pictureOf (editor),
                                         GoldenPicture::nameAt ("editor-advanced-frozen-ru", GetParam())));
}

INSTANTIATE_TEST_SUITE_P (AtScale, EditorPictures, ::testing::Values (1.0f, 2.0f));

} // namespace
} // namespace vo::test
