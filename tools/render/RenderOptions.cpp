#include "RenderOptions.h"

namespace vo::tools
{

namespace
{
    juce::File fileFromArgument (const juce::String& path)
    {
        return juce::File::getCurrentWorkingDirectory().getChildFile (path);
    }

    // Arguments quoted in a one-line message, with control characters made visible.
    juce::String quoted (const juce::String& text)
    {
        juce::String shown;
        for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
            shown << (*p < 0x20 || *p == 0x7f ? juce::String ("?") : juce::String::charToString (*p));
        return "'" + shown + "'";
    }

    bool parseBlockSize (const juce::String& text, int& blockSize)
    {
        if (! text.containsOnly ("0123456789") || text.isEmpty() || text.length() > 6)
            return false;
        blockSize = text.getIntValue();
        return blockSize >= RenderOptions::kMinBlockSize && blockSize <= RenderOptions::kMaxBlockSize;
    }
}

juce::String RenderOptions::usage()
{
    return
        "usage: zel-render --input TRACK --output OUT [--sidechain SC]\n"
        "                  [--preset NAME | --state FILE] [--set ID=VALUE ...]\n"
        "                  [--block N] [--plot MAP.png] [--quiet]\n"
        "       zel-render --demo OUTDIR\n"
        "\n"
        "Runs ZEL over audio files, exactly as the plug-in does in a host.\n"
        "\n"
        "  --input TRACK     the track to carve (WAV or AIFF, mono or stereo)\n"
        "  --sidechain SC    what the track makes room for; padded with silence when\n"
        "                    shorter than the track, cut when longer. It must have the\n"
        "                    track's sample rate (it is not resampled). Without it the\n"
        "                    track listens to itself.\n"
        "  --output OUT      the carved track (.wav, .aif or .aiff by extension); keeps\n"
        "                    the input's sample rate, channels and bit depth. Never the\n"
        "                    same file as an input.\n"
        "  --preset NAME     start from a factory or user preset\n"
        "  --state FILE      start from a saved plug-in state\n"
        "  --set ID=VALUE    set a parameter by id in plain units, e.g. amount=80,\n"
        "                    lowCut=120, mode=M/S, freeze=on (after preset or state)\n"
        "  --block N         host block size, 1 ... 65536 (default 512)\n"
        "  --plot MAP.png    write a cut map: the cut per band over time, and the\n"
        "                    sidechain level below it\n"
        "  --quiet           no progress bar and no summary\n"
        "  --demo OUTDIR     synthesise a pad and a kick-and-bass sidechain, carve the\n"
        "                    pad and write track, sidechain, result and cut map there\n"
        "\n"
        "Parameters: amount 0..100 %, lowCut 20..20000 Hz, highCut 20..20000 Hz,\n"
        "attack 5..200 ms, release 10..2000 ms, mode L/R|M/S, pan -100..100,\n"
        "smooth 0..100 %, freeze/scAudition/bypass on|off.\n";
}

std::optional<RenderOptions> RenderOptions::parse (const juce::StringArray& args, juce::String& error)
{
    RenderOptions options;

    for (int i = 0; i < args.size(); ++i)
    {
        const auto& arg = args[i];

        if (arg == "--help" || arg == "-h")
        {
            options.help = true;
            return options;
        }
        if (arg == "--quiet" || arg == "-q")
        {
            options.quiet = true;
            continue;
        }

        const bool takesValue = arg == "--input" || arg == "--sidechain" || arg == "--output" || arg == "--preset"
                                || arg == "--state" || arg == "--set" || arg == "--block" || arg == "--plot"
                                || arg == "--demo";
        if (! takesValue)
        {
            error = "unknown argument " + quoted (arg) + " (see --help)";
            return std::nullopt;
        }
        if (i + 1 >= args.size() || args[i + 1].isEmpty())
        {
            error = arg + " needs a value";
            return std::nullopt;
        }

        const auto value = args[++i];
        if (arg == "--input")
            options.input = fileFromArgument (value);
        else if (arg == "--sidechain")
            options.sidechain = fileFromArgument (value);
        else if (arg == "--output")
            options.output = fileFromArgument (value);
        else if (arg == "--preset")
            options.preset = value;
        else if (arg == "--state")
            options.state = fileFromArgument (value);
        else if (arg == "--plot")
            options.plot = fileFromArgument (value);
        else if (arg == "--demo")
            options.demoFolder = fileFromArgument (value);
        else if (arg == "--block")
        {
            if (! parseBlockSize (value, options.blockSize))
            {
                error = "--block must be a whole number from 1 to 65536, not " + quoted (value);
                return std::nullopt;
            }
        }
        else if (arg == "--set")
        {
            if (! value.contains ("=") || value.upToFirstOccurrenceOf ("=", false, false).trim().isEmpty())
            {
                error = "--set needs ID=VALUE, not " + quoted (value);
                return std::nullopt;
            }
            options.settings.push_back ({ value.upToFirstOccurrenceOf ("=", false, false).trim(),
                                          value.fromFirstOccurrenceOf ("=", false, false).trim() });
        }
    }

    if (options.isDemo())
        return options;

    if (options.input == juce::File())
        error = "--input is required (see --help)";
    else if (options.output == juce::File())
        error = "--output is required (see --help)";
    else if (options.preset.isNotEmpty() && options.state != juce::File())
        error = "use either --preset or --state, not both";

    if (error.isNotEmpty())
        return std::nullopt;
    return options;
}

} // namespace vo::tools
