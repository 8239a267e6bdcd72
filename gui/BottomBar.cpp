#include "BottomBar.h"

#include "DisplayScale.h"
#include "EmbeddedFile.h"
#include "Fonts.h"

#include <array>
#include <cmath>

namespace vo::gui
{

namespace
{

constexpr int kSideMargin = 14;
constexpr int kInnerTop = 8;
constexpr int kToggleSize = 28;
constexpr int kToggleGap = 8;
constexpr int kFooterStartAfterBypass = 54;
constexpr int kFooterStartAfterDelta = 90;
constexpr float kFooterGap = 10.0f;
constexpr int kTextEndGap = 10;
constexpr int kTextSlack = 6;
constexpr int kMinimumTextWidth = 10;
constexpr int kRightEdgeWithoutSlots = 220;
constexpr float kFooterFontHeight = 10.5f;
constexpr int kSlotRightMargin = 18;
constexpr int kSlotWidth = 66;
constexpr int kSlotHeight = 22;
constexpr int kLabelSlack = 8;
constexpr float kLabelFontHeight = 12.0f;
constexpr float kBylineImageMaximumHeight = 26.0f;
constexpr float kBylineImageHeadroom = 12.0f;
constexpr float kNameImageHeight = 18.0f;
constexpr float kRescaleTolerance = 0.01f;

const juce::String kSeparator = juce::String::fromUTF8 ("  \xc2\xb7  ");
const juce::String kNameSeparator = " - ";

struct MakerFooterImage
{
    const char* resourceName;
    bool isByline;  // carries the whole byline, so no text follows it
};

// In the maker's order of preference.
constexpr std::array<MakerFooterImage, 3> kMakerFooterImages { {
    { "rorozudizizodoveduzarov_png", true },
    { "reravazavarozadir_png", false },
    { "vurediroviderude_png", false },
} };

// The build names each resource after its file name with every character
// that cannot be part of an identifier replaced by an underscore.
juce::String resourceNameOf (const juce::String& fileName)
{
    juce::String name;
    for (const auto character : fileName)
        name << (juce::CharacterFunctions::isLetterOrDigit (character) ? character : juce::juce_wchar ('_'));
    return name;
}

juce::Image embeddedImageNamed (const EmbeddedFileList& files, const char* resourceName)
{
    for (const auto& file : files)
        if (file.data != nullptr && resourceNameOf (file.fileName) == resourceName)
            return juce::ImageCache::getFromMemory (file.data, static_cast<int> (file.size));
    return {};
}

// Halving first keeps a large picture from aliasing when it is shrunk a lot.
juce::Image shrunkTowards (juce::Image picture, int width, int height)
{
    while (picture.getWidth() >= 2 * width && picture.getHeight() >= 2 * height)
        picture = picture.rescaled (picture.getWidth() / 2, picture.getHeight() / 2,
                                    juce::Graphics::highResamplingQuality);
    return picture;
}

// A new picture with the source's alpha and the colour everywhere, so the
// product's artwork follows the theme whatever colour it was drawn in.
juce::Image tinted (const juce::Image& source, juce::Colour colour)
{
    juce::Image result (juce::Image::ARGB, source.getWidth(), source.getHeight(), true);
    const juce::Image::BitmapData from (source, juce::Image::BitmapData::readOnly);
    const juce::Image::BitmapData to (result, juce::Image::BitmapData::writeOnly);
    for (int y = 0; y < from.height; ++y)
        for (int x = 0; x < from.width; ++x)
            to.setPixelColour (x, y, colour.withAlpha (from.getPixelColour (x, y).getAlpha()));
    return result;
}

} // namespace

BottomBar::BottomBar (core::ProcessorBase& processorToUse, const Theme& themeToUse)
    : processor (processorToUse), theme (themeToUse)
{
    auto& state = processor.getStateManager();
    bypassToggle = std::make_unique<RoundToggle> (state, "bypass", RoundToggle::Icon::Power, theme, kBypassTooltip);
    addAndMakeVisible (*bypassToggle);

    if (state.getValueTreeState().getParameter ("delta") != nullptr)
    {
        deltaToggle = std::make_unique<RoundToggle> (state, "delta", RoundToggle::Icon::Delta, theme, kDeltaTooltip);
        addAndMakeVisible (*deltaToggle);
    }

    findMakerImage();
}

BottomBar::~BottomBar() = default;

void BottomBar::findMakerImage()
{
    const auto files = embeddedFiles();
    for (const auto& candidate : kMakerFooterImages)
    {
        makerImage = embeddedImageNamed (files, candidate.resourceName);
        makerImageIsByline = candidate.isByline;
        if (makerImage.isValid())
            return;
    }
}

void BottomBar::setMakerInfo (const MakerInfo& info)
{
    maker = info;
    layOutFooter();
    repaint();
}

void BottomBar::setFooter (const juce::String& text, const juce::Image& image, float imageHeight)
{
    footerText = text;
    footerImage = image;
    footerImageHeight = imageHeight;
    layOutFooter();
    repaint();
}

void BottomBar::addSlot (const juce::String& label, juce::Component& component)
{
    slots.push_back ({ label, &component, {}, {} });
    addAndMakeVisible (component);
    resized();
    repaint();
}

int BottomBar::getFooterStartX() const noexcept
{
    return deltaToggle != nullptr ? kFooterStartAfterDelta : kFooterStartAfterBypass;
}

juce::Rectangle<int> BottomBar::getSlotLabelBounds (int index) const
{
    return juce::isPositiveAndBelow (index, slots.size()) ? slots[static_cast<size_t> (index)].labelBounds
                                                          : juce::Rectangle<int>();
}

void BottomBar::resized()
{
    const auto innerHeight = juce::jmax (getHeight() - 2 * kInnerTop, 0);
    layOutToggles (innerHeight);
    layOutSlots (innerHeight);
    layOutFooter();
}

void BottomBar::layOutToggles (int innerHeight)
{
    const auto y = (innerHeight - kToggleSize) / 2 + kInnerTop;
    bypassToggle->setBounds (kSideMargin, y, kToggleSize, kToggleSize);
    if (deltaToggle != nullptr)
        deltaToggle->setBounds (bypassToggle->getRight() + kToggleGap, y, kToggleSize, kToggleSize);
}

void BottomBar::layOutSlots (int innerHeight)
{
    const auto font = displayFont (kLabelFontHeight);
    auto right = getWidth() - kSlotRightMargin;

    // The last slot sits at the right edge, earlier ones follow it inwards.
    for (auto slot = slots.rbegin(); slot != slots.rend(); ++slot)
    {
        right -= kSlotWidth;
        slot->componentBounds = { right, (innerHeight - kSlotHeight) / 2 + kInnerTop, kSlotWidth, kSlotHeight };
        slot->component->setBounds (slot->componentBounds);

        const auto wanted = static_cast<int> (std::ceil (font.getStringWidthFloat (slot->label))) + kLabelSlack;
        const auto width = juce::jmin (juce::jmax (right - kSideMargin, 0), wanted);
        right -= width;
        slot->labelBounds = { right, kInnerTop, width, innerHeight };
    }
}

void BottomBar::layOutFooter()
{
    const auto previous = footer;
    footer = {};
    const auto x = placeFooterPicture (static_cast<float> (getFooterStartX()));

    if (footer.picture != previous.picture
        || footer.pictureBounds.withZeroOrigin() != previous.pictureBounds.withZeroOrigin())
        pictureCopy = {};

    if (! footer.showsByline)
        placeFooterText (juce::roundToInt (x));
}

float BottomBar::placeFooterPicture (float x)
{
    if (footerText.isNotEmpty())
        return footerImage.isValid() ? placePicture (footerImage, footerImageHeight, x, true) : x;

    if (! makerImage.isValid())
        return x;

    const auto height = makerImageIsByline ? juce::jmin (static_cast<float> (getHeight()) - kBylineImageHeadroom,
                                                         kBylineImageMaximumHeight)
                                           : kNameImageHeight;
    if (height <= 0.0f)
        return x;

    footer.showsByline = makerImageIsByline;
    return placePicture (makerImage, height, x, false);
}

void BottomBar::placeFooterText (int left)
{
    const auto available = footerRightEdge() - left - kTextEndGap;
    auto text = composeFooterText();
    if (displayFont (kFooterFontHeight).getStringWidthFloat (text) > static_cast<float> (available))
        text = text.upToLastOccurrenceOf (kSeparator, false, false);

    footer.text = text;
    footer.textBounds = { left, 0, juce::jmax (available + kTextSlack, kMinimumTextWidth), getHeight() };
    footer.textColour = footerText.isNotEmpty() ? theme.textDim : theme.text;
}

float BottomBar::placePicture (const juce::Image& picture, float height, float x, bool tinted)
{
    const auto width = static_cast<float> (picture.getWidth()) * height / static_cast<float> (picture.getHeight());
    footer.picture = picture;
    footer.tinted = tinted;
    footer.pictureBounds = { x, (static_cast<float> (getHeight()) - height) * 0.5f, width, height };
    return x + width + kFooterGap;
}

juce::String BottomBar::composeFooterText() const
{
    auto text = footerText.isNotEmpty() ? footerText : maker.byline;
    // Without any picture the maker would go unnamed.
    if (footerText.isEmpty() && ! footer.picture.isValid() && maker.name.isNotEmpty())
        text = maker.name + kNameSeparator + text;
    return text + kSeparator + "v" + processor.getVersion();
}

int BottomBar::footerRightEdge() const
{
    return slots.empty() ? getWidth() - kRightEdgeWithoutSlots : slots.front().labelBounds.getX();
}

void BottomBar::paint (juce::Graphics& g)
{
    g.fillAll (theme.barBackground);
    grain.draw (g, getLocalBounds(), theme.grainOpacity, kGrainSeed);
    g.setColour (theme.hairline);
    g.fillRect (0, 0, getWidth(), 1);

    paintFooterPicture (g);
    if (footer.text.isNotEmpty())
    {
        g.setColour (footer.textColour);
        g.setFont (displayFont (kFooterFontHeight));
        g.drawText (footer.text, footer.textBounds, juce::Justification::centredLeft, true);
    }

    paintSlotLabels (g);
}

void BottomBar::paintFooterPicture (juce::Graphics& g)
{
    if (! footer.picture.isValid())
        return;

    const auto scale = DisplayScale::of (g);
    if (! pictureCopy.isValid() || std::abs (scale - pictureCopyScale) > kRescaleTolerance)
        rebuildPictureCopy (scale);
    // Images take the opacity of the last colour set; the picture has its own.
    g.setOpacity (1.0f);
    DisplayScale::drawAt (g, pictureCopy, footer.pictureBounds.getTopLeft(), pictureCopyScale);
}

void BottomBar::rebuildPictureCopy (float scale)
{
    const auto width = DisplayScale::pixels (footer.pictureBounds.getWidth(), scale);
    const auto height = DisplayScale::pixels (footer.pictureBounds.getHeight(), scale);
    pictureCopy = shrunkTowards (footer.picture, width, height)
                      .rescaled (width, height, juce::Graphics::highResamplingQuality);
    if (footer.tinted)
        pictureCopy = tinted (pictureCopy, theme.labelText);
    pictureCopyScale = scale;
}

void BottomBar::paintSlotLabels (juce::Graphics& g) const
{
    g.setColour (theme.labelText);
    g.setFont (displayFont (kLabelFontHeight));
    for (const auto& slot : slots)
        g.drawText (slot.label, slot.labelBounds, juce::Justification::centredRight, false);
}

} // namespace vo::gui
