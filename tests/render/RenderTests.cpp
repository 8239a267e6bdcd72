// zel-render: the same result as driving the processor directly, block-size
// independence, sidechain padding, every error case, and the demo.

#include "core/MessagePump.h"
#include "render/DemoSignals.h"
#include "render/RenderOptions.h"
#include "render/Renderer.h"
#include "plugin/Processor.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_dsp/juce_dsp.h>

#include <gtest/gtest.h>

#include <cmath>

namespace vo::test
{
namespace
{
using vo::tools::CutMap;
using vo::tools::DemoSignals;
using vo::tools::RenderOptions;
using vo::tools::Renderer;
using vo::tools::RenderReport;

constexpr double kRate = 44100.0;

juce::File scratch()
{
    auto folder = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("render-test");
    folder.createDirectory();
    return folder;
}

juce::AudioBuffer<float> noise (int channels, int samples, float level, int seed)
{
    juce::Random random (seed);
    juce::AudioBuffer<float> b (channels, samples);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < samples; ++i)
            b.setSample (c, i, level * (random.nextFloat() * 2.0f - 1.0f));
    return b;
}

juce::AudioBuffer<float> tone (int channels, int samples, double hz, float level)
{
    juce::AudioBuffer<float> b (channels, samples);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < samples; ++i)
            b.setSample (c, i, level * (float) std::sin (juce::MathConstants<double>::twoPi * hz * i / kRate));
    return b;
}

void writeWav (const juce::AudioBuffer<float>& audio, const juce::File& file, int bits = 32, double rate = kRate)
{
    file.deleteFile();
    juce::WavAudioFormat wav;
    auto* stream = new juce::FileOutputStream (file);
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream, rate, (unsigned int) audio.getNumChannels(), bits, {}, 0));
    ASSERT_NE (writer, nullptr);
    writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
}

juce::AudioBuffer<float> readWav (const juce::File& file, double* rate = nullptr, int* bits = nullptr)
{
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
    if (reader == nullptr)
        return {};
    juce::AudioBuffer<float> b ((int) reader->numChannels, (int) reader->lengthInSamples);
    reader->read (&b, 0, b.getNumSamples(), 0, true, true);
    if (rate != nullptr)
        *rate = reader->sampleRate;
    if (bits != nullptr)
        *bits = (int) reader->bitsPerSample;
    return b;
}

RenderOptions options (const juce::File& input, const juce::File& sidechain, const juce::File& output, int block = 512)
{
    RenderOptions o;
    o.input = input;
    o.sidechain = sidechain;
    o.output = output;
    o.blockSize = block;
    o.settings.push_back ({ "amount", "100" });
    return o;
}

bool render (const RenderOptions& o, juce::String& error, RenderReport* reportOut = nullptr)
{
    RenderReport report;
    const bool ok = Renderer::render (o, report, nullptr, error);
    if (reportOut != nullptr)
        *reportOut = report;
    return ok;
}

// The same work done by hand: the processor, the same blocks, the same settings.
juce::AudioBuffer<float> processDirectly (const juce::AudioBuffer<float>& track, const juce::AudioBuffer<float>& side, int block)
{
    vo::plugins::zel::Processor p;
    auto layout = p.getBusesLayout();
    layout.inputBuses.getReference (1) = juce::AudioChannelSet::stereo();
    EXPECT_TRUE (p.setBusesLayout (layout));
    auto& amount = p.getStateManager().param ("amount");
    amount.setValueNotifyingHost (1.0f);
    vo::core::MessagePump::runFor (50);
    p.prepareToPlay (kRate, block);

    juce::AudioBuffer<float> out (track);
    juce::AudioBuffer<float> buffer (4, block);
    juce::MidiBuffer midi;
    for (int pos = 0; pos < track.getNumSamples(); pos += block)
    {
        const int n = std::min (block, track.getNumSamples() - pos);
        for (int c = 0; c < 2; ++c)
        {
            buffer.copyFrom (c, 0, out, c, pos, n);
            buffer.copyFrom (c + 2, 0, side, c, pos, n);
        }
        juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), 4, n);
        p.processBlock (view, midi);
        for (int c = 0; c < 2; ++c)
            out.copyFrom (c, pos, buffer, c, 0, n);
    }
    return out;
}

float maxDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    float worst = 0.0f;
    for (int c = 0; c < a.getNumChannels(); ++c)
        for (int i = 0; i < a.getNumSamples(); ++i)
            worst = std::max (worst, std::abs (a.getSample (c, i) - b.getSample (c, i)));
    return worst;
}
} // namespace

TEST (RenderOptions, ParsesEverythingAndRefusesNonsense)
{
    juce::String error;
    auto o = RenderOptions::parse ({ "--input", "a.wav", "--sidechain", "b.wav", "--output", "c.wav", "--preset", "Sub - Orta",
                                     "--set", "amount=80", "--set", "mode = M/S", "--block", "64", "--plot", "p.png", "--quiet" },
                                   error);
    ASSERT_TRUE (o.has_value()) << error;
    EXPECT_EQ (o->input.getFileName(), "a.wav");
    EXPECT_EQ (o->blockSize, 64);
    ASSERT_EQ (o->settings.size(), 2u);
    EXPECT_EQ (o->settings[1].id, "mode");
    EXPECT_EQ (o->settings[1].value, "M/S");
    EXPECT_TRUE (o->quiet);

    const std::vector<juce::StringArray> bad = {
        { "--input", "a.wav" },
        { "--output", "c.wav" },
        { "--input", "a.wav", "--output", "c.wav", "--block", "0" },
        { "--input", "a.wav", "--output", "c.wav", "--block", "12x" },
        { "--input", "a.wav", "--output", "c.wav", "--block", "99999999999" },
        { "--input", "a.wav", "--output", "c.wav", "--set", "amount" },
        { "--input", "a.wav", "--output", "c.wav", "--set", "=5" },
        { "--input", "a.wav", "--output", "c.wav", "--frobnicate" },
        { "--input" },
        { "--input", "a.wav", "--output", "c.wav", "--preset", "x", "--state", "s.bin" },
    };
    for (const auto& args : bad)
    {
        error = {};
        EXPECT_FALSE (RenderOptions::parse (args, error).has_value()) << args.joinIntoString (" ");
        EXPECT_TRUE (error.isNotEmpty());
        EXPECT_FALSE (error.containsChar ('\n'));
    }
    EXPECT_TRUE (RenderOptions::parse ({ "--help" }, error)->help);
    EXPECT_TRUE (RenderOptions::parse ({ "--demo", "out" }, error)->isDemo());
}

TEST (Render, SameResultAsDrivingTheProcessorDirectly)
{
    const auto dir = scratch();
    const auto track = noise (2, 30000, 0.2f, 1);
    const auto side = tone (2, 30000, 90.0, 0.8f);
    writeWav (track, dir.getChildFile ("t.wav"));
    writeWav (side, dir.getChildFile ("s.wav"));

    juce::String error;
    ASSERT_TRUE (render (options (dir.getChildFile ("t.wav"), dir.getChildFile ("s.wav"), dir.getChildFile ("o.wav"), 256), error)) << error;
    const auto rendered = readWav (dir.getChildFile ("o.wav"));
    const auto direct = processDirectly (track, side, 256);
    ASSERT_EQ (rendered.getNumSamples(), direct.getNumSamples());
    EXPECT_EQ (maxDifference (rendered, direct), 0.0f);
    EXPECT_GT (maxDifference (rendered, track), 0.01f); // it did carve
}

TEST (Render, BlockSizeDoesNotChangeTheResult)
{
    const auto dir = scratch();
    writeWav (noise (2, 20000, 0.2f, 2), dir.getChildFile ("t.wav"));
    writeWav (tone (2, 20000, 200.0, 0.8f), dir.getChildFile ("s.wav"));

    juce::String error;
    std::vector<juce::AudioBuffer<float>> results;
    for (int block : { 512, 32, 100, 37, 4096, 1 })
    {
        const auto out = dir.getChildFile ("o" + juce::String (block) + ".wav");
        ASSERT_TRUE (render (options (dir.getChildFile ("t.wav"), dir.getChildFile ("s.wav"), out, block), error)) << error;
        results.push_back (readWav (out));
    }
    for (size_t i = 1; i < results.size(); ++i)
        EXPECT_EQ (maxDifference (results[0], results[i]), 0.0f) << "block size #" << i;
}

TEST (Render, KeepsRateChannelsAndBitDepth)
{
    const auto dir = scratch();
    writeWav (noise (1, 9000, 0.2f, 3), dir.getChildFile ("mono.wav"), 16, 22050.0);
    juce::String error;
    auto o = options (dir.getChildFile ("mono.wav"), {}, dir.getChildFile ("mono-out.wav"));
    ASSERT_TRUE (render (o, error)) << error;
    double rate = 0;
    int bits = 0;
    const auto out = readWav (dir.getChildFile ("mono-out.wav"), &rate, &bits);
    EXPECT_EQ (out.getNumChannels(), 1);
    EXPECT_EQ (out.getNumSamples(), 9000);
    EXPECT_EQ (rate, 22050.0);
    EXPECT_EQ (bits, 16);
}

TEST (Render, ShortSidechainIsPaddedLongOneIsCut)
{
    const auto dir = scratch();
    const auto track = noise (2, 20000, 0.2f, 4);
    writeWav (track, dir.getChildFile ("t.wav"));
    const auto side = tone (2, 20000, 120.0, 0.8f);

    // A sidechain of 5000 samples behaves exactly like the full one with silence after 5000.
    juce::AudioBuffer<float> shortSide (2, 5000), paddedSide (2, 20000);
    paddedSide.clear();
    for (int c = 0; c < 2; ++c)
    {
        shortSide.copyFrom (c, 0, side, c, 0, 5000);
        paddedSide.copyFrom (c, 0, side, c, 0, 5000);
    }
    writeWav (shortSide, dir.getChildFile ("short.wav"));
    writeWav (paddedSide, dir.getChildFile ("padded.wav"));

    // A longer sidechain is cut at the track's end.
    juce::AudioBuffer<float> longSide (2, 50000);
    longSide.clear();
    for (int c = 0; c < 2; ++c)
        longSide.copyFrom (c, 0, side, c, 0, 20000);
    writeWav (longSide, dir.getChildFile ("long.wav"));
    writeWav (side, dir.getChildFile ("exact.wav"));

    juce::String error;
    for (const char* name : { "short", "padded", "long", "exact" })
        ASSERT_TRUE (render (options (dir.getChildFile ("t.wav"), dir.getChildFile (juce::String (name) + ".wav"),
                                      dir.getChildFile (juce::String ("o-") + name + ".wav")), error)) << error;

    EXPECT_EQ (maxDifference (readWav (dir.getChildFile ("o-short.wav")), readWav (dir.getChildFile ("o-padded.wav"))), 0.0f);
    const auto cut = readWav (dir.getChildFile ("o-long.wav"));
    EXPECT_EQ (cut.getNumSamples(), 20000);
    EXPECT_EQ (maxDifference (cut, readWav (dir.getChildFile ("o-exact.wav"))), 0.0f);
}

TEST (Render, ErrorsAreOneLineAndLeaveNoOutput)
{
    const auto dir = scratch();
    writeWav (noise (2, 5000, 0.2f, 5), dir.getChildFile ("t.wav"));
    writeWav (noise (2, 5000, 0.2f, 6), dir.getChildFile ("s48.wav"), 24, 48000.0);
    writeWav (noise (4, 5000, 0.2f, 7), dir.getChildFile ("quad.wav"));
    dir.getChildFile ("text.wav").replaceWithText ("RIFF? no, just words");
    dir.getChildFile ("state.bin").replaceWithText ("not a state");
    const auto out = dir.getChildFile ("never.wav");

    struct Case
    {
        const char* what;
        RenderOptions o;
    };
    auto base = [&] { return options (dir.getChildFile ("t.wav"), {}, out); };
    std::vector<Case> cases;
    { auto o = base(); o.input = dir.getChildFile ("missing.wav"); cases.push_back ({ "missing input", o }); }
    { auto o = base(); o.input = dir.getChildFile ("text.wav"); cases.push_back ({ "not audio", o }); }
    { auto o = base(); o.input = dir.getChildFile ("quad.wav"); cases.push_back ({ "four channels", o }); }
    { auto o = base(); o.sidechain = dir.getChildFile ("s48.wav"); cases.push_back ({ "rate mismatch", o }); }
    { auto o = base(); o.output = dir.getChildFile ("t.wav"); cases.push_back ({ "output is input", o }); }
    { auto o = base(); o.sidechain = dir.getChildFile ("s48.wav"); o.output = dir.getChildFile ("s48.wav"); cases.push_back ({ "output is sidechain", o }); }
    { auto o = base(); o.output = dir.getChildFile ("no/such/folder/o.wav"); cases.push_back ({ "no folder", o }); }
    { auto o = base(); o.output = dir.getChildFile ("o.mp3"); cases.push_back ({ "format", o }); }
    { auto o = base(); o.preset = "Nope"; cases.push_back ({ "preset", o }); }
    { auto o = base(); o.state = dir.getChildFile ("state.bin"); cases.push_back ({ "state", o }); }
    { auto o = base(); o.settings.push_back ({ "loudness", "3" }); cases.push_back ({ "unknown id", o }); }
    { auto o = base(); o.settings.push_back ({ "amount", "150" }); cases.push_back ({ "out of range", o }); }
    { auto o = base(); o.settings.push_back ({ "lowCut", "abc" }); cases.push_back ({ "not a number", o }); }
    { auto o = base(); o.settings.push_back ({ "freeze", "maybe" }); cases.push_back ({ "bad switch", o }); }
    { auto o = base(); o.settings.push_back ({ "amount", "nan" }); cases.push_back ({ "nan", o }); }

    for (const auto& c : cases)
    {
        juce::String error;
        EXPECT_FALSE (render (c.o, error)) << c.what;
        EXPECT_TRUE (error.isNotEmpty()) << c.what;
        EXPECT_FALSE (error.containsChar ('\n')) << c.what;
        EXPECT_FALSE (out.exists()) << c.what;
        EXPECT_FALSE (c.o.output.exists() && c.o.output.getFileName().startsWith ("o.")) << c.what;
    }
    EXPECT_GT (readWav (dir.getChildFile ("t.wav")).getNumSamples(), 0); // the source survived
    EXPECT_EQ (dir.getNumberOfChildFiles (juce::File::findFiles, "*.tmp"), 0);
}

TEST (Render, PresetsSettingsAndPlot)
{
    const auto dir = scratch();
    writeWav (noise (2, 30000, 0.2f, 8), dir.getChildFile ("t.wav"));
    writeWav (tone (2, 30000, 100.0, 0.8f), dir.getChildFile ("s.wav"));

    auto o = options (dir.getChildFile ("t.wav"), dir.getChildFile ("s.wav"), dir.getChildFile ("o.wav"));
    o.settings.clear();
    o.preset = "Sub - Orta";
    o.settings.push_back ({ "mode", "L/R" });
    o.settings.push_back ({ "freeze", "off" });
    CutMap map;
    RenderReport report;
    juce::String error;
    ASSERT_TRUE (Renderer::render (o, report, &map, error)) << error;
    EXPECT_LT (report.peakCutDb, -3.0f);
    EXPECT_GE (report.peakCutBand, 0);
    EXPECT_NEAR (report.audioSeconds, 30000.0 / kRate, 1e-9);
    EXPECT_GT (map.size(), 30u);
    ASSERT_TRUE (map.writePng (dir.getChildFile ("map.png"), "test", error)) << error;
    const auto image = juce::ImageFileFormat::loadFrom (dir.getChildFile ("map.png"));
    EXPECT_TRUE (image.isValid());
    EXPECT_GT (image.getWidth(), 300);
}

TEST (Render, DemoCarvesThePadWhereTheKickPlays)
{
    const auto pad = DemoSignals::makePad();
    const auto groove = DemoSignals::makeKickAndBass();
    const auto dir = scratch();
    writeWav (pad, dir.getChildFile ("pad.wav"), 32, DemoSignals::kSampleRate);
    writeWav (groove, dir.getChildFile ("groove.wav"), 32, DemoSignals::kSampleRate);

    RenderOptions o;
    o.input = dir.getChildFile ("pad.wav");
    o.sidechain = dir.getChildFile ("groove.wav");
    o.output = dir.getChildFile ("carved.wav");
    o.preset = "Vodu - Dav Irur";
    juce::String error;
    ASSERT_TRUE (render (o, error)) << error;
    const auto carved = readWav (o.output);

    // Low-band energy (below ~250 Hz) right after each kick, before and after ZEL.
    auto lowEnergy = [] (const juce::AudioBuffer<float>& b, int start, int length) {
        juce::dsp::IIR::Filter<float> lowPass (juce::dsp::IIR::Coefficients<float>::makeLowPass (DemoSignals::kSampleRate, 200.0f));
        double sum = 0.0;
        for (int i = std::max (0, start - 4800); i < start + length; ++i)
        {
            const float y = lowPass.processSample (b.getSample (0, i));
            if (i >= start)
                sum += (double) y * y;
        }
        return sum;
    };
    double before = 0.0, after = 0.0;
    const auto starts = DemoSignals::kickStarts();
    for (size_t k = 2; k < starts.size(); ++k)
    {
        before += lowEnergy (pad, starts[k], 4800);
        after += lowEnergy (carved, starts[k], 4800);
    }
    EXPECT_LT (10.0 * std::log10 (after / before), -6.0);
}

TEST (RenderCommandLine, HelpDemoAndExitCodes)
{
    const juce::File tool (ZEL_RENDER_PATH);
    ASSERT_TRUE (tool.existsAsFile());
    const auto dir = scratch().getChildFile ("cli");

    juce::ChildProcess help;
    ASSERT_TRUE (help.start (juce::StringArray { tool.getFullPathName(), "--help" }));
    EXPECT_TRUE (help.readAllProcessOutput().contains ("--sidechain"));
    help.waitForProcessToFinish (30000);
    EXPECT_EQ (help.getExitCode(), 0u);

    juce::ChildProcess bad;
    ASSERT_TRUE (bad.start (juce::StringArray { tool.getFullPathName(), "--input" }, juce::ChildProcess::wantStdErr));
    const auto message = bad.readAllProcessOutput().trim();
    bad.waitForProcessToFinish (30000);
    EXPECT_EQ (bad.getExitCode(), 2u);
    EXPECT_TRUE (message.startsWith ("zel-render: "));
    EXPECT_FALSE (message.containsChar ('\n'));

    juce::ChildProcess missing;
    ASSERT_TRUE (missing.start (juce::StringArray { tool.getFullPathName(), "--input", "/nonexistent.wav", "--output",
                                                    dir.getChildFile ("x.wav").getFullPathName() },
                                juce::ChildProcess::wantStdErr));
    missing.readAllProcessOutput();
    missing.waitForProcessToFinish (30000);
    EXPECT_EQ (missing.getExitCode(), 1u);

    juce::ChildProcess demo;
    ASSERT_TRUE (demo.start (juce::StringArray { tool.getFullPathName(), "--demo", dir.getFullPathName() },
                             juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr));
    const auto output = demo.readAllProcessOutput();
    demo.waitForProcessToFinish (30000);
    EXPECT_EQ (demo.getExitCode(), 0u) << output;
    EXPECT_TRUE (output.contains ("x real time"));
    for (const char* name : { "track.wav", "sidechain.wav", "carved.wav", "cut-map.png" })
        EXPECT_TRUE (dir.getChildFile (name).existsAsFile()) << name;
}

} // namespace vo::test
