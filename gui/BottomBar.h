#pragma once

#include "GrainTexture.h"
#include "MakerInfo.h"
#include "RoundToggle.h"
#include "Theme.h"

#include "core/ProcessorBase.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace vo::gui
{

// The strip along the bottom of an editor: bypass (and delta, for products
// that have it) on the left, the maker's footer with the version in the
// middle, and labelled slots for product controls on the right.
class BottomBar : public juce::Component
{
public:
    static constexpr std::uint32_t kGrainSeed = 0x5EEDA112;
    static constexpr float kDefaultFooterImageHeight = 27.0f;
    static constexpr const char* kBypassTooltip = "bypass: plugin klanglos durchschleifen";
    static constexpr const char* kDeltaTooltip = "delta: nur den bearbeiteten Anteil hoeren";

    BottomBar (core::ProcessorBase& processor, const Theme& theme);
    ~BottomBar() override;

    // The maker's byline and name, shown when the product sets no footer.
    void setMakerInfo (const MakerInfo& info);

    // The product's own footer replacing the maker's byline; the image, when
    // given, is shown before the text in the label colour.
    void setFooter (const juce::String& text, const juce::Image& image = {},
                    float imageHeight = kDefaultFooterImageHeight);

    // A product control on the right, with its label to the left of it.
    void addSlot (const juce::String& label, juce::Component& component);

    RoundToggle& getBypassToggle() noexcept { return *bypassToggle; }
    RoundToggle* getDeltaToggle() noexcept { return deltaToggle.get(); }

    // Where the footer begins, right of the toggles.
    int getFooterStartX() const noexcept;
    // The footer text as it fits the current width; empty when an image says it all.
    const juce::String& getFooterText() const noexcept { return footer.text; }
    juce::Rectangle<int> getSlotLabelBounds (int index) const;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    struct Slot
    {
        juce::String label;
        juce::Component* component = nullptr;
        juce::Rectangle<int> componentBounds, labelBounds;
    };

    // What the footer shows at the current size, worked out when the size
    // or the content changes so that painting only draws.
    struct FooterLayout
    {
        juce::Image picture;
        juce::Rectangle<float> pictureBounds;
        bool tinted = false;
        bool showsByline = false;  // the picture says it all, no text follows
        juce::String text;
        juce::Rectangle<int> textBounds;
        juce::Colour textColour;
    };

    void findMakerImage();
    void layOutToggles (int innerHeight);
    void layOutSlots (int innerHeight);
    void layOutFooter();
    float placeFooterPicture (float x);
    void placeFooterText (int left);
    float placePicture (const juce::Image& picture, float height, float x, bool tinted);
    juce::String composeFooterText() const;
    int footerRightEdge() const;
    void paintFooterPicture (juce::Graphics& g);
    void paintSlotLabels (juce::Graphics& g) const;
    void rebuildPictureCopy (float scale);

    core::ProcessorBase& processor;
    const Theme theme;
    MakerInfo maker;
    juce::String footerText;
    juce::Image footerImage;
    float footerImageHeight = kDefaultFooterImageHeight;
    juce::Image makerImage;
    bool makerImageIsByline = false;
    GrainTexture grain;
    std::unique_ptr<RoundToggle> bypassToggle;
    std::unique_ptr<RoundToggle> deltaToggle;
    std::vector<Slot> slots;

    FooterLayout footer;
    juce::Image pictureCopy;
    float pictureCopyScale = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BottomBar)
};

} // namespace vo::gui
