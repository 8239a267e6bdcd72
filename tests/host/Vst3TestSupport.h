#pragma once

// What the VST3 host suites share: where the bundle under test is, keeping
// its module loaded for the leak check, and the sidechain routing a DAW sets.

#include <juce_audio_processors/juce_audio_processors.h>

#include <dlfcn.h>

#include <cstdlib>

namespace vo::test
{

// The bundle under test: the build's own, unless ZEL_VST3_BUNDLE names
// another copy (the packaging tests point it at the one the package installs).
inline juce::String vst3BundlePath()
{
    const char* overridden = std::getenv ("ZEL_VST3_BUNDLE");
    return overridden != nullptr && *overridden != 0 ? juce::String (overridden) : juce::String (ZEL_VST3_PATH);
}

#if defined(__SANITIZE_ADDRESS__)
 #define ZEL_HOST_TEST_LEAK_CHECKED 1
#elif defined(__has_feature)
 #if __has_feature(address_sanitizer)
  #define ZEL_HOST_TEST_LEAK_CHECKED 1
 #endif
#endif

#if defined(ZEL_HOST_TEST_LEAK_CHECKED)
// The leak check runs at exit, after the host has unloaded the module: what
// the module's statics still held would look lost and its frames would have
// no names. Pinning the module keeps both, so only real leaks are reported.
// Other builds unload it as a DAW does.
inline const bool vst3ModulePinned = [] {
    const auto path = vst3BundlePath() + "/Contents/x86_64-linux/ZEL.so";
    return dlopen (path.toRawUTF8(), RTLD_NOW | RTLD_NODELETE) != nullptr;
}();
#endif

// Main stereo in, stereo sidechain: false when the plug-in has no second bus
// or refuses the layout.
inline bool enableSidechain (juce::AudioPluginInstance& plugin)
{
    auto layout = plugin.getBusesLayout();
    if (layout.inputBuses.size() < 2)
        return false;
    layout.inputBuses.getReference (1) = juce::AudioChannelSet::stereo();
    return plugin.setBusesLayout (layout);
}

} // namespace vo::test
