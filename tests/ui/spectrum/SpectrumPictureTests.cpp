// The spectrum view as the user sees it, fed with frames the real engine
// published over the demo's kick-and-bass groove; each scene at 1× and 2×
// against its golden (tests/ui/goldens; scripts/refresh-goldens remakes them).

#include "support/RecordedFrames.h"

#include "plugin/ui/ProductTheme.h"
#include "plugin/ui/spectrum/SpectrumView.h"
#include "tests/gui/support/GoldenPicture.h"
#include "tests/gui/support/PictureRenderer.h"

#include <gtest/gtest.h>

#include <functional>

namespace vo::test
{
namespace
{

using plugins::zel::DisplayFrame;
using plugins::zel::ui::SpectrumView;

// The view on the editor's background, as it sits in the editor.
class SpectrumScene : public juce::Component
{
public:
    static constexpr int kMargin = 12;

    explicit SpectrumScene (const DisplayFrame& frame)
        : theme (plugins::zel::ui::productTheme()),
          view ([frame] (DisplayFrame& out) { out = frame; }, theme)
    {
        view.setBounds (kMargin, kMargin, 652, 190);
        addAndMakeVisible (view);
        setSize (652 + 2 * kMargin, 190 + 2 * kMargin);
    }

    void paint (juce::Graphics& g) override { g.fillAll (theme.background); }

    SpectrumView& getView() { return view; }

private:
    gui::Theme theme;
    SpectrumView view;
};

struct Scene
{
    const char* name;
    std::function<DisplayFrame()> frame;
    bool hovered;
};

class SpectrumPictures : public ::testing::TestWithParam<float>
{
protected:
    juce::ScopedJuceInitialiser_GUI gui;

    void check (const Scene& scene)
    {
        SpectrumScene picture (scene.frame());
        if (scene.hovered)
        {
            auto& view = picture.getView();
            const juce::Point<float> at { 200.0f, 60.0f }; // over the kick's peak
            view.mouseMove (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), at, {},
                                              juce::MouseInputSource::defaultPressure,
                                              juce::MouseInputSource::defaultOrientation,
                                              juce::MouseInputSource::defaultRotation,
                                              juce::MouseInputSource::defaultTiltX,
                                              juce::MouseInputSource::defaultTiltY, &view, &view, juce::Time(), at,
                                              juce::Time(), 0, false));
        }
        EXPECT_TRUE (GoldenPicture::matches (PictureRenderer::ofComponent (picture, GetParam()),
                                             GoldenPicture::nameAt (scene.name, GetParam())));
    }
};

TEST_P (SpectrumPictures, Live)
{
    check ({ "spectrum-live", &RecordedFrames::live, true });
}

TEST_P (SpectrumPictures, Frozen)
{
    check ({ "spectrum-frozen", &RecordedFrames::frozen, false });
}

TEST_P (SpectrumPictures, NoSidechainBus)
{
    check ({ "spectrum-no-bus", &RecordedFrames::withoutSidechainBus, false });
}

TEST_P (SpectrumPictures, Auditioning)
{
    check ({ "spectrum-audition", &RecordedFrames::auditioning, false });
}

INSTANTIATE_TEST_SUITE_P (AtScale, SpectrumPictures, ::testing::Values (1.0f, 2.0f));

} // namespace
} // namespace vo::test
