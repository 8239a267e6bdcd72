// zel-render: runs ZEL over audio files from the command line.

#include "DemoSignals.h"
#include "Renderer.h"
#include "core/Utf8Check.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_events/juce_events.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <unistd.h>

namespace
{
using vo::tools::CutMap;
using vo::tools::DemoSignals;
using vo::tools::RenderOptions;
using vo::tools::Renderer;
using vo::tools::RenderReport;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kProgressWidth = 40;
const char* const kDemoPreset = "Vodu - Dav Irur";

int fail (const juce::String& message, int code = kExitFailure)
{
    std::cerr << "zel-render: " << message << std::endl;
    return code;
}

// A bar on standard error, redrawn in place; only for a terminal.
class ProgressBar
{
public:
    explicit ProgressBar (bool enabled) : shown (enabled) {}

    void update (double fraction)
    {
        if (! shown)
            return;
        const int percent = juce::jlimit (0, 100, (int) (fraction * 100.0));
        if (percent == lastPercent)
            return;
        lastPercent = percent;
        const int filled = percent * kProgressWidth / 100;
        std::fprintf (stderr, "\r[%s%s] %3d%%", std::string ((size_t) filled, '#').c_str(),
                      std::string ((size_t) (kProgressWidth - filled), '.').c_str(), percent);
        std::fflush (stderr);
    }

    void finish()
    {
        if (shown && lastPercent >= 0)
            std::fprintf (stderr, "\r%*s\r", kProgressWidth + 8, "");
    }

private:
    bool shown;
    int lastPercent = -1;
};

juce::String summaryLine (const RenderReport& report)
{
    const double speed = report.wallSeconds > 0.0 ? report.audioSeconds / report.wallSeconds : 0.0;
    juce::String line;
    line << juce::String (report.audioSeconds, 1) << " s of audio in " << juce::String (report.wallSeconds, 2)
         << " s (" << juce::String (juce::roundToInt (speed)) << "x real time), ";
    if (report.peakCutBand < 0)
        line << "no cut";
    else
        line << "peak cut " << juce::String (report.peakCutDb, 1) << " dB at "
             << juce::String (juce::roundToInt (vo::plugins::zel::bandCentreHz (report.peakCutBand))) << " Hz (band "
             << report.peakCutBand << ")";
    return line;
}

int runRender (const RenderOptions& options)
{
    ProgressBar bar (! options.quiet && isatty (STDERR_FILENO));
    CutMap cutMap;
    RenderReport report;
    juce::String error;
    const bool ok = Renderer::render (options, report, options.plot != juce::File() ? &cutMap : nullptr, error,
                                      [&bar] (double fraction) { bar.update (fraction); });
    bar.finish();
    if (! ok)
        return fail (error);

    if (options.plot != juce::File()
        && ! cutMap.writePng (options.plot, "ZEL cut map: " + options.input.getFileName(), error))
        return fail (error);

    if (! options.quiet)
        std::cerr << "zel-render: " << summaryLine (report) << std::endl;
    return 0;
}

bool writeWav (const juce::AudioBuffer<float>& audio, const juce::File& file, juce::String& error)
{
    juce::WavAudioFormat wav;
    juce::TemporaryFile temporary (file);
    auto stream = std::make_unique<juce::FileOutputStream> (temporary.getFile());
    if (! stream->openedOk())
    {
        error = "cannot write " + file.getFullPathName();
        return false;
    }
    std::unique_ptr<juce::AudioFormatWriter> writer (
        wav.createWriterFor (stream.get(), DemoSignals::kSampleRate, (unsigned int) audio.getNumChannels(), 24, {}, 0));
    if (writer == nullptr)
    {
        error = "cannot write " + file.getFullPathName();
        return false;
    }
    stream.release();
    const bool written = writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
    writer.reset();
    if (! written || ! temporary.overwriteTargetFileWithTemporary())
    {
        error = "cannot write " + file.getFullPathName();
        return false;
    }
    return true;
}

int runDemo (RenderOptions options)
{
    const auto folder = options.demoFolder;
    if (! folder.createDirectory())
        return fail ("cannot create the folder " + folder.getFullPathName());

    juce::String error;
    const auto track = folder.getChildFile ("track.wav");
    const auto sidechain = folder.getChildFile ("sidechain.wav");
    if (! writeWav (DemoSignals::makePad(), track, error) || ! writeWav (DemoSignals::makeKickAndBass(), sidechain, error))
        return fail (error);

    options.input = track;
    options.sidechain = sidechain;
    options.output = folder.getChildFile ("carved.wav");
    options.plot = folder.getChildFile ("cut-map.png");
    options.preset = kDemoPreset;

    const int result = runRender (options);
    if (result != 0)
        return result;

    std::cout << "ZEL demo (factory preset \"" << kDemoPreset << "\") written to " << folder.getFullPathName() << ":\n"
              << "  track.wav      the pad, as it went in\n"
              << "  sidechain.wav  the kick and bass it makes room for\n"
              << "  carved.wav     the pad after ZEL: listen for the dips under each kick\n"
              << "  cut-map.png    what ZEL cut, band by band, over time\n";
    return 0;
}
} // namespace

int main (int argc, char** argv)
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
    {
        if (! vo::core::Utf8Check::isWellFormed (argv[i]))
            return fail ("argument " + juce::String (i) + " is not valid UTF-8", kExitUsage);
        args.add (juce::CharPointer_UTF8 (argv[i]));
    }

    juce::String error;
    const auto options = RenderOptions::parse (args, error);
    if (! options)
        return fail (error, kExitUsage);
    if (options->help)
    {
        std::cout << RenderOptions::usage();
        return 0;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    return options->isDemo() ? runDemo (*options) : runRender (*options);
}
