#pragma once

#include "ScaledImage.h"

#include "gui/ImageShadow.h"
#include "gui/Theme.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

namespace vo::plugins::zel::ui
{

// The textured panel behind the editor, with a screw in each corner. It can
// paint `overlap` pixels above its top edge, so the header that sits there
// shows the same texture running on.
class Backdrop : public juce::Component
{
public:
    static constexpr float kScrewSize = 24.0f;
    static constexpr float kScrewInset = 16.0f;
    static constexpr int kScrewsFrom = 96;

    explicit Backdrop (const vo::gui::Theme& theme);

    void setOverlap (int pixels);
    void setCornerRadius (float radius);

    // The scale the texture is prepared at for a context's physical scale:
    // rounded up to halves, 0.5 … 2.
    static float textureScale (float physicalScale);

    int getBuildCount() const noexcept { return builds; }
    const juce::Image& getCachedImage() const noexcept { return cached; }

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    void prepare (int width, int height, float scale);
    void paintScrews (juce::Graphics& g, juce::Rectangle<float> area);

    juce::Image panel;
    juce::Image screw;
    std::vector<float> gains;
    int overlap = 0;
    float cornerRadius = 0.0f;
    juce::Image cached;
    float cachedScale = 0.0f;
    int builds = 0;
    ScaledImage screwScaled;
    vo::gui::ImageShadow screwShade;
};

} // namespace vo::plugins::zel::ui
