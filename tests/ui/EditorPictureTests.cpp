// The whole editor as a user first sees it, against its goldens at 1× and 2×:
// closed in English with the demo groove carving live, and advanced in
// Russian with the cut frozen (the longest captions, the lit freeze button).

#include "plugin/Processor.h"
#include "plugin/ui/Editor.h"
#include "plugin/update/PrefsFile.h"
#include "render/DemoScene.h"
#include "tests/gui/support/GoldenPicture.h"
#include "tests/gui/support/PictureRenderer.h"

#include <gtest/gtest.h>

namespace vo::test
{
namespace
{

using plugins::zel::Editor;
using plugins::zel::Processor;

constexpr int kRussian = 5;

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
    tools::DemoScene::play (processor, false);
    Editor editor (processor);
    editor.setLanguage (0);
    EXPECT_TRUE (GoldenPicture::matches (pictureOf (editor), GoldenPicture::nameAt ("editor-live", GetParam())));
}

TEST_P (EditorPictures, AdvancedInRussianWithTheCutFrozen)
{
    tools::DemoScene::play (processor, true);
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
