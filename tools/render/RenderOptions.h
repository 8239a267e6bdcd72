#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

namespace vo::tools
{

// What the command line asked zel-render to do, checked for shape (not yet
// against files or parameter ranges, which need the plug-in).
struct RenderOptions
{
    struct Setting
    {
        juce::String id;
        juce::String value;
    };

    juce::File input;
    juce::File sidechain;
    juce::File output;
    juce::String preset;
    juce::File state;
    std::vector<Setting> settings;
    int blockSize = 512;
    juce::File plot;
    bool quiet = false;
    bool help = false;
    juce::File demoFolder;

    bool isDemo() const { return demoFolder != juce::File(); }

    static constexpr int kMinBlockSize = 1;
    static constexpr int kMaxBlockSize = 65536;

    // Parses argv (without the program name). On failure returns nothing and
    // puts a one-line reason into `error`.
    static std::optional<RenderOptions> parse (const juce::StringArray& args, juce::String& error);

    static juce::String usage();
};

} // namespace vo::tools
