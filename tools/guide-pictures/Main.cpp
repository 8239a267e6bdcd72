// zel-guide-pictures: the user guide's pictures of ZEL's editor, rendered
// without a window from the real processor just after it played the demo (a
// pad with a kick-and-bass sidechain), as PNG files.
//
// Usage: zel-guide-pictures <output-folder>

#include "plugin/Processor.h"
#include "plugin/ui/Editor.h"
#include "plugin/ui/UpdatePanel.h"
#include "plugin/update/PrefsFile.h"
#include "render/DemoScene.h"

#include <juce_events/juce_events.h>

#include <cstdlib>
#include <iostream>

namespace
{

using vo::plugins::zel::Editor;
using vo::plugins::zel::Processor;
using vo::plugins::zel::UpdatePanel;

constexpr int kEnglish = 0;
constexpr int kRussian = 5;

// One picture: what the editor shows, and the file it goes to.
struct Scene
{
    const char* fileName;
    int language = kEnglish;
    bool frozen = false;
    bool advanced = false;
    bool updateOffered = false;
    int windowPercent = 100;
};

const Scene kScenes[] = {
    { "editor.png" },
    { "editor-advanced.png", kEnglish, false, true },
    { "editor-frozen.png", kEnglish, true },
    { "editor-russian.png", kRussian },
    { "update-panel.png", kEnglish, false, false, true },
    { "editor-200.png", kEnglish, false, false, false, 200 },
};

// No update request from a picture, and no remembered language or size.
void quietUserFolder (Processor& processor)
{
    vo::plugins::zel::upd::UpdatePrefs quiet;
    quiet.dontAsk = true;
    vo::plugins::zel::upd::PrefsFile (processor.getUserDataFolder()).write (quiet);
    for (const char* remembered : { "lang.txt", "ui-scale.txt" })
        processor.getUserDataFolder().getChildFile (remembered).deleteFile();
}

// The editor with its children at its own size, as a window at 1× shows it.
// The editor is opaque, so the picture drops its alpha channel, which keeps
// the files smaller.
juce::Image pictureOf (Editor& editor)
{
    juce::Image picture (juce::Image::ARGB, editor.getWidth(), editor.getHeight(), true);
    {
        juce::Graphics g (picture);
        editor.paintEntireComponent (g, false);
    }
    return picture.convertedToFormat (juce::Image::RGB);
}

juce::Image render (const Scene& scene)
{
    Processor processor;
    quietUserFolder (processor);
    vo::tools::DemoScene::play (processor, scene.frozen);

    Editor editor (processor);
    editor.setLanguage (scene.language);
    if (scene.advanced)
    {
        editor.toggleAdvanced();
        editor.getAdvancedButton().setLit (true, true);
    }
    if (scene.frozen)
        editor.getFreezeButton().setLit (true, true);
    if (scene.updateOffered)
        editor.showUpdatePanel (UpdatePanel::available,
                                { "1.2.0", "https://velmora.audio/zel/1.2.0", "https://velmora.audio/zel/ZEL-1.2.0-setup.exe" });
    if (scene.windowPercent != 100)
        editor.setSize (Editor::kDesignWidth * scene.windowPercent / 100,
                        editor.getDesignHeight() * scene.windowPercent / 100);

    editor.getSpectrum().poll();
    return pictureOf (editor);
}

bool writePng (const juce::Image& picture, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    return out.openedOk() && juce::PNGImageFormat().writeImageToStream (picture, out);
}

int renderAll (const juce::File& folder)
{
    if (! folder.createDirectory())
    {
        std::cerr << "zel-guide-pictures: cannot create " << folder.getFullPathName() << std::endl;
        return 1;
    }
    for (const auto& scene : kScenes)
    {
        const auto file = folder.getChildFile (scene.fileName);
        const auto picture = render (scene);
        if (! picture.isValid() || ! writePng (picture, file))
        {
            std::cerr << "zel-guide-pictures: cannot write " << file.getFullPathName() << std::endl;
            return 1;
        }
        std::cout << file.getFullPathName() << " (" << picture.getWidth() << " x " << picture.getHeight() << ")"
                  << std::endl;
    }
    return 0;
}

} // namespace

int main (int argc, char** argv)
{
    if (argc != 2 || juce::String (argv[1]).startsWith ("-"))
    {
        std::cerr << "usage: zel-guide-pictures <output-folder>" << std::endl;
        return 2;
    }
    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String::fromUTF8 (argv[1]));

    // The processor and editor keep their settings and log under HOME: a
    // temporary one leaves the user's own files alone.
    char pattern[] = "/tmp/zel-guide-pictures-XXXXXX";
    const char* home = mkdtemp (pattern);
    if (home == nullptr || setenv ("HOME", home, 1) != 0)
    {
        std::cerr << "zel-guide-pictures: cannot make a temporary home folder" << std::endl;
        return 1;
    }

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        result = renderAll (folder);
    }
    juce::File (pattern).deleteRecursively();
    return result;
}
