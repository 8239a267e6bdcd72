#include "Renderer.h"

#include "core/MessagePump.h"
#include "core/NumberText.h"
#include "core/StateStreamCheck.h"
#include "plugin/Processor.h"

#include <juce_audio_formats/juce_audio_formats.h>

namespace vo::tools
{

using vo::plugins::zel::Processor;

namespace
{
    constexpr double kMinSampleRate = 8000.0;
    constexpr double kMaxSampleRate = 384000.0;
    constexpr int kMaxChannels = 2;
    constexpr int kMessagePumpMs = 50;

    std::unique_ptr<juce::AudioFormatReader> openAudio (juce::AudioFormatManager& formats, const juce::File& file,
                                                        const juce::String& role, juce::String& error)
    {
        if (! file.existsAsFile())
        {
            error = "the " + role + " file " + file.getFullPathName() + " does not exist";
            return nullptr;
        }
        if (! file.hasReadAccess())
        {
            error = "cannot read the " + role + " file " + file.getFullPathName();
            return nullptr;
        }

        std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
        if (reader == nullptr)
        {
            error = "the " + role + " file " + file.getFullPathName() + " is not a WAV or AIFF audio file";
            return nullptr;
        }
        if (reader->numChannels < 1 || reader->numChannels > (unsigned int) kMaxChannels)
        {
            error = "the " + role + " file has " + juce::String (reader->numChannels) + " channels; ZEL takes mono or stereo";
            return nullptr;
        }
        if (reader->sampleRate < kMinSampleRate || reader->sampleRate > kMaxSampleRate)
        {
            error = "the " + role + " file's sample rate " + juce::String (reader->sampleRate) + " Hz is not supported";
            return nullptr;
        }
        return reader;
    }

    juce::AudioFormat* formatForOutput (juce::AudioFormatManager& formats, const juce::File& file)
    {
        const auto extension = file.getFileExtension().toLowerCase();
        if (extension == ".wav" || extension == ".aif" || extension == ".aiff")
            return formats.findFormatForFileExtension (extension);
        return nullptr;
    }

    // Parameter values as typed on the command line, in plain units.
    bool parsePlainValue (juce::RangedAudioParameter& parameter, const juce::String& text, float& plain, juce::String& error)
    {
        const auto lower = text.toLowerCase();
        const auto& range = parameter.getNormalisableRange();

        if (dynamic_cast<juce::AudioParameterBool*> (&parameter) != nullptr)
        {
            if (lower == "on" || lower == "true" || lower == "1" || lower == "yes")
                plain = 1.0f;
            else if (lower == "off" || lower == "false" || lower == "0" || lower == "no")
                plain = 0.0f;
            else
            {
                error = "'" + parameter.getParameterID() + "' takes on or off, not '" + text + "'";
                return false;
            }
            return true;
        }

        if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (&parameter))
        {
            const int index = choice->choices.indexOf (text, true);
            if (index >= 0)
            {
                plain = (float) index;
                return true;
            }
        }

        const auto trimmed = text.trim();
        if (trimmed.isEmpty() || ! trimmed.containsOnly ("+-.0123456789eE"))
        {
            error = "'" + text + "' is not a number for '" + parameter.getParameterID() + "'";
            return false;
        }
        plain = core::floatFromText (trimmed);
        if (! std::isfinite (plain) || plain < range.start || plain > range.end)
        {
            error = "'" + parameter.getParameterID() + "' must be within " + juce::String (range.start) + " ... "
                    + juce::String (range.end) + ", not " + text;
            return false;
        }
        return true;
    }

    bool applySettings (Processor& processor, const RenderOptions& options, juce::String& error)
    {
        auto& state = processor.getStateManager().getValueTreeState();

        if (options.preset.isNotEmpty() && ! processor.getPresetManager().loadPreset (options.preset))
        {
            error = "there is no preset called '" + options.preset + "'";
            return false;
        }

        if (options.state != juce::File())
        {
            juce::MemoryBlock data;
            if (! options.state.existsAsFile() || ! options.state.loadFileAsData (data))
            {
                error = "cannot read the state file " + options.state.getFullPathName();
                return false;
            }
            const bool wellFormed = vo::core::StateStreamCheck::isWellFormed (data.getData(), data.getSize());
            if (! wellFormed || ! juce::ValueTree::readFromData (data.getData(), data.getSize()).hasType (state.state.getType()))
            {
                error = "the file " + options.state.getFullPathName() + " is not a ZEL state";
                return false;
            }
            processor.setStateInformation (data.getData(), (int) data.getSize());
        }

        for (const auto& setting : options.settings)
        {
            auto* parameter = state.getParameter (setting.id);
            if (parameter == nullptr)
            {
                error = "unknown parameter '" + setting.id + "'";
                return false;
            }
            float plain = 0.0f;
            if (! parsePlainValue (*parameter, setting.value, plain, error))
                return false;
            parameter->setValueNotifyingHost (parameter->convertTo0to1 (plain));
        }

        // Loads hand a stored frozen cut to the audio thread asynchronously.
        vo::core::MessagePump::runFor (kMessagePumpMs);
        return true;
    }

    bool configureBuses (Processor& processor, int mainChannels, int sidechainChannels, juce::String& error)
    {
        auto layout = processor.getBusesLayout();
        const auto setFor = [] (int channels) {
            return channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
        };
        layout.inputBuses.getReference (0) = setFor (mainChannels);
        layout.outputBuses.getReference (0) = setFor (mainChannels);
        layout.inputBuses.getReference (1) = sidechainChannels > 0 ? setFor (sidechainChannels) : juce::AudioChannelSet::disabled();
        if (! processor.setBusesLayout (layout))
        {
            error = "ZEL does not accept this channel layout";
            return false;
        }
        return true;
    }
}

bool Renderer::isSameFile (const juce::File& a, const juce::File& b)
{
    const auto resolve = [] (const juce::File& f) {
        return f.isSymbolicLink() ? f.getLinkedTarget() : f;
    };
    return resolve (a) == resolve (b);
}

bool Renderer::render (const RenderOptions& options, RenderReport& report, CutMap* cutMap,
                       juce::String& error, const Progress& progress)
{
    if (isSameFile (options.output, options.input)
        || (options.sidechain != juce::File() && isSameFile (options.output, options.sidechain)))
    {
        error = "the output must not be one of the input files";
        return false;
    }

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();

    auto track = openAudio (formats, options.input, "input", error);
    if (track == nullptr)
        return false;

    std::unique_ptr<juce::AudioFormatReader> sidechain;
    if (options.sidechain != juce::File())
    {
        sidechain = openAudio (formats, options.sidechain, "sidechain", error);
        if (sidechain == nullptr)
            return false;
        if (sidechain->sampleRate != track->sampleRate)
        {
            error = "the sidechain runs at " + juce::String (sidechain->sampleRate) + " Hz but the track at "
                    + juce::String (track->sampleRate) + " Hz; resample one of them first";
            return false;
        }
    }

    auto* outputFormat = formatForOutput (formats, options.output);
    if (outputFormat == nullptr)
    {
        error = "the output must end in .wav, .aif or .aiff";
        return false;
    }
    if (! options.output.getParentDirectory().isDirectory())
    {
        error = "the output folder " + options.output.getParentDirectory().getFullPathName() + " does not exist";
        return false;
    }

    const int mainChannels = (int) track->numChannels;
    const int sidechainChannels = sidechain != nullptr ? (int) sidechain->numChannels : 0;
    const double sampleRate = track->sampleRate;
    const int bitDepth = outputFormat->getPossibleBitDepths().contains ((int) track->bitsPerSample)
                             ? (int) track->bitsPerSample
                             : 24;

    Processor processor;
    if (! configureBuses (processor, mainChannels, sidechainChannels, error) || ! applySettings (processor, options, error))
        return false;
    processor.prepareToPlay (sampleRate, options.blockSize);

    juce::TemporaryFile temporary (options.output);
    std::unique_ptr<juce::AudioFormatWriter> writer;
    {
        auto stream = std::make_unique<juce::FileOutputStream> (temporary.getFile());
        if (! stream->openedOk())
        {
            error = "cannot write to " + options.output.getFullPathName();
            return false;
        }
        writer.reset (outputFormat->createWriterFor (stream.get(), sampleRate, (unsigned int) mainChannels, bitDepth, {}, 0));
        if (writer == nullptr)
        {
            error = "cannot write " + juce::String (bitDepth) + "-bit " + outputFormat->getFormatName() + " to " + options.output.getFullPathName();
            return false;
        }
        stream.release(); // the writer owns it now
    }

    const auto started = juce::Time::getMillisecondCounterHiRes();
    const juce::int64 total = track->lengthInSamples;
    const int blockSize = options.blockSize;
    juce::AudioBuffer<float> buffer (mainChannels + sidechainChannels, blockSize);
    juce::MidiBuffer midi;
    const auto columnFrames = (juce::int64) std::max (1.0, sampleRate * (cutMap != nullptr ? cutMap->getSecondsPerColumn() : 0.02));
    juce::int64 nextColumn = 0;
    vo::plugins::zel::DisplayFrame frame;
    report = {};

    for (juce::int64 position = 0; position < total; position += blockSize)
    {
        const int count = (int) std::min<juce::int64> (blockSize, total - position);
        juce::AudioBuffer<float> main (buffer.getArrayOfWritePointers(), mainChannels, count);
        track->read (&main, 0, count, position, true, mainChannels > 1);
        if (sidechain != nullptr)
        {
            juce::AudioBuffer<float> side (buffer.getArrayOfWritePointers() + mainChannels, sidechainChannels, count);
            sidechain->read (&side, 0, count, position, true, sidechainChannels > 1);
        }

        juce::AudioBuffer<float> block (buffer.getArrayOfWritePointers(), mainChannels + sidechainChannels, count);
        processor.processBlock (block, midi);

        if (! writer->writeFromAudioSampleBuffer (main, 0, count))
        {
            error = "writing " + options.output.getFullPathName() + " failed (disk full?)";
            return false;
        }

        processor.getEngine().readDisplayFrame (frame);
        for (int band = 0; band < vo::plugins::zel::kBandCount; ++band)
        {
            if (frame.cut[(size_t) band] < report.peakCutDb)
            {
                report.peakCutDb = frame.cut[(size_t) band];
                report.peakCutBand = band;
            }
        }
        while (cutMap != nullptr && position + count >= nextColumn)
        {
            cutMap->addColumn (frame.cut, frame.scLevels);
            nextColumn += columnFrames;
        }

        if (progress)
            progress ((double) (position + count) / (double) std::max<juce::int64> (total, 1));
    }

    processor.releaseResources();
    writer.reset(); // flushes and closes the temporary file

    if (temporary.getFile().getSize() == 0 || ! temporary.overwriteTargetFileWithTemporary())
    {
        error = "cannot write to " + options.output.getFullPathName();
        return false;
    }

    report.frames = total;
    report.audioSeconds = (double) total / sampleRate;
    report.wallSeconds = (juce::Time::getMillisecondCounterHiRes() - started) / 1000.0;
    return true;
}

} // namespace vo::tools
