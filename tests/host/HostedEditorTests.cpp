// The editor as a DAW shows it: the built ZEL.vst3 (and ZEL.lv2) loaded through
// JUCE's own hosting, its editor in a real top-level window on an X display
// (CTest runs this program under Xvfb), opened and closed while audio runs
// and a second thread automates, and resized the way a host resizes it.

#include "host/Lv2TestSupport.h"

#include "host/Vst3TestSupport.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>

namespace vo::test
{
namespace
{
constexpr double kSampleRate = 48000.0;
constexpr int kBlockSize = 512;
constexpr int kOpenings = 50;
constexpr int kDesignWidth = 780;
constexpr int kDesignHeight = 608;

// A DAW has a window manager, or an error handler of its own (a JUCE app
// installs one): without either, Xlib's default handler ends the process at
// the first request for a property only a window manager creates. Xvfb runs
// no window manager, so this host does what a JUCE app does and carries on.
int carryOn (Display*, XErrorEvent*)
{
    return 0;
}

const auto previousHandler = XSetErrorHandler (carryOn);

std::unique_ptr<juce::AudioPluginInstance> loadVst3()
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, vst3BundlePath());
    if (found.isEmpty())
        return nullptr;
    juce::String error;
    auto instance = format.createInstanceFromDescription (*found[0], kSampleRate, kBlockSize, error);
    EXPECT_TRUE (error.isEmpty()) << error;
    return instance;
}

void pump (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

// The plug-in's diagnostic log of this process (the plug-in shares the
// host's process, so it writes under the test's home folder).
juce::String pluginLog()
{
    const auto folder = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
                            .getChildFile ("velmora/diag");
    return folder.getChildFile ("ZEL-" + juce::String ((int) getpid()) + ".log").loadFileAsString();
}

int linesWith (const juce::String& text, const juce::String& marker)
{
    int count = 0;
    for (int at = text.indexOf (marker); at >= 0; at = text.indexOf (at + 1, marker))
        ++count;
    return count;
}

// A host's top-level window around a plug-in editor.
class HostWindow : public juce::DocumentWindow
{
public:
    explicit HostWindow (juce::AudioProcessorEditor* editor)
        : juce::DocumentWindow ("ZEL", juce::Colours::black, 0, true)
    {
        setUsingNativeTitleBar (true);
        setContentOwned (editor, true);
        setResizable (editor->isResizable(), false);
        setVisible (true);
    }
};

// Audio on one thread, automation on another, for as long as it lives.
class BusyHost
{
public:
    explicit BusyHost (juce::AudioPluginInstance& instance) : plugin (instance)
    {
        audio = std::thread ([this] { playAudio(); });
        automation = std::thread ([this] { automate(); });
    }

    ~BusyHost()
    {
        running = false;
        audio.join();
        automation.join();
    }

    int blocksPlayed() const { return blocks.load(); }

private:
    void playAudio()
    {
        juce::AudioBuffer<float> buffer (4, kBlockSize);
        juce::MidiBuffer midi;
        long sample = 0;
        while (running)
        {
            for (int c = 0; c < 4; ++c)
                for (int i = 0; i < kBlockSize; ++i)
                    buffer.setSample (c, i, 0.2f * (float) std::sin (0.02 * (double) (sample + i) * (c + 1)));
            sample += kBlockSize;
            plugin.processBlock (buffer, midi);
            ++blocks;
            std::this_thread::sleep_for (std::chrono::milliseconds (2));
        }
    }

    void automate()
    {
        auto parameters = plugin.getParameters();
        for (int step = 0; running; ++step)
        {
            for (auto* p : parameters)
                if (p->getName (100) == "Amount" || p->getName (100) == "Low Cut" || p->getName (100) == "High Cut")
                    p->setValueNotifyingHost (0.5f + 0.4f * (float) std::sin (0.1 * step));
            std::this_thread::sleep_for (std::chrono::milliseconds (3));
        }
    }

    juce::AudioPluginInstance& plugin;
    std::atomic<bool> running { true };
    std::atomic<int> blocks { 0 };
    std::thread audio, automation;
};

TEST (HostedEditor, OpensAndClosesFiftyTimesWhileAudioRunsAndTheHostAutomates)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    ASSERT_TRUE (enableSidechain (*plugin));
    plugin->prepareToPlay (kSampleRate, kBlockSize);
    ASSERT_TRUE (plugin->hasEditor());

    // The host asked for a view once already, to learn whether there is one.
    const auto openedBefore = linesWith (pluginLog(), "editor OPEN");
    {
        BusyHost host (*plugin);
        for (int opening = 0; opening < kOpenings; ++opening)
        {
            auto* editor = plugin->createEditorIfNeeded();
            ASSERT_NE (editor, nullptr) << "opening " << opening;
            {
                HostWindow window (editor);
                pump (opening == 0 ? 500 : 40);
                EXPECT_TRUE (window.isOnDesktop());
                EXPECT_EQ (editor->getWidth() * kDesignHeight, editor->getHeight() * kDesignWidth) << "opening " << opening;
            }
            pump (5);
        }
        EXPECT_GT (host.blocksPlayed(), kOpenings) << "audio ran all along";
    }
    plugin->releaseResources();
    plugin.reset();
    pump (50);

    const auto log = pluginLog();
    EXPECT_EQ (linesWith (log, "editor OPEN") - openedBefore, kOpenings);
    EXPECT_EQ (linesWith (log, "editor CLOSE (now 0)"), openedBefore + kOpenings)
        << "every editor closed before the next opened";
    EXPECT_EQ (linesWith (log, "typeface cache BUILD"), 1) << "the fonts were loaded once for the process";
    EXPECT_EQ (linesWith (log, "FREEZE DETECTED"), 0) << log;
}

TEST (HostedEditor, TheHostResizesWithinTheAspectRatioAndTheLimits)
{
    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr);
    auto* editor = plugin->createEditorIfNeeded();
    ASSERT_NE (editor, nullptr);
    HostWindow window (editor);
    pump (300);
    EXPECT_EQ (editor->getWidth(), kDesignWidth);
    EXPECT_EQ (editor->getHeight(), kDesignHeight);

    struct Request
    {
        int width, height;
        double expectedScale;
    };
    for (const auto& request : { Request { 1170, 1000, 1.5 }, Request { 4000, 4000, 2.0 }, Request { 100, 100, 0.75 } })
    {
        editor->setSize (request.width, request.height);
        pump (100);
        const auto scale = (double) editor->getWidth() / kDesignWidth;
        EXPECT_NEAR (scale, request.expectedScale, 0.01) << request.width << " x " << request.height;
        EXPECT_NEAR ((double) editor->getHeight() / kDesignHeight, scale, 0.01)
            << request.width << " x " << request.height << " gave " << editor->getWidth() << " x " << editor->getHeight();
    }
}

TEST (HostedEditor, TheLv2BuildsEditorOpensToo)
{
    runInChild ([] {
        juce::LV2PluginFormat format;
        format.searchPathsForPlugins (juce::FileSearchPath (juce::String (bundleFolder())), false, false);
        juce::OwnedArray<juce::PluginDescription> found;
        format.findAllTypesForFile (found, ZEL_LV2_URI);
        ASSERT_FALSE (found.isEmpty());
        juce::String error;
        auto plugin = format.createInstanceFromDescription (*found[0], kSampleRate, kBlockSize, error);
        ASSERT_NE (plugin, nullptr) << error;
        ASSERT_TRUE (plugin->hasEditor());
        auto* editor = plugin->createEditorIfNeeded();
        ASSERT_NE (editor, nullptr);
        {
            HostWindow window (editor);
            pump (500);
            EXPECT_EQ (editor->getWidth() * kDesignHeight, editor->getHeight() * kDesignWidth);
            EXPECT_GE (editor->getWidth(), kDesignWidth * 3 / 4);
        }
        pump (50);
    });
}

} // namespace
} // namespace vo::test
