#include "ContactSheet.h"

#include "Canvas.h"
#include "Catalog.h"

#include <cmath>

namespace zel::artwork
{
namespace
{
    constexpr unsigned background = 0xffc56c64;
    constexpr unsigned labelColour = 0xffe8e2c4;
    constexpr int sheetWidth = 1560;
    constexpr int sheetHeight = 1720;
    constexpr int labelSize = 15;
    constexpr int gap = 24;
    constexpr int margin = 24;

    // Sizes in design pixels at which the editor draws each picture.
    constexpr double buttonDiameter = 36.0;
    constexpr double lampDiameter = 33.0;
    constexpr double switchDiameter = 37.8;
    constexpr double bigKnob = 210.0;
    constexpr double smallKnob = 46.0;
    constexpr double styleTwoInner = 78.0 * 0.935;
    constexpr double styleThreeFace = 78.0;
    constexpr int screwSize = 24;
    constexpr int wordmarkHeight = 56;

    int scaledWidth (const Bitmap& b, int height) { return static_cast<int> (std::lround (b.width() * static_cast<double> (height) / b.height())); }
} // namespace

ContactSheet::ContactSheet (const Images& imagesToShow, const TextRaster& labelFont) : images (imagesToShow), font (labelFont) {}

void ContactSheet::label (Canvas& canvas, Cursor& at, const std::string& text) const
{
    canvas.drawCoverage (font.render (text, labelSize), at.x, at.y, labelColour);
    at.y += labelSize + 10;
}

void ContactSheet::endRow (Cursor& at) const
{
    at.y += at.rowHeight + gap;
    at.x = margin;
    at.rowHeight = 0;
}

void ContactSheet::round (Canvas& canvas, Cursor& at, const std::string& name, double diameter) const
{
    const auto& image = images.at (name);
    const auto circle = *Catalog::calibration (name);
    const auto scale = diameter / 2.0 / circle.radius;
    const auto size = static_cast<int> (std::lround (image.width() * scale));
    const auto box = static_cast<int> (std::ceil (diameter)) + 16;
    const auto x = at.x + static_cast<int> (std::lround (box / 2.0 - circle.cx * scale));
    const auto y = at.y + static_cast<int> (std::lround (box / 2.0 - circle.cy * scale));
    canvas.drawImage (image, x, y, size, size);
    at.x += box + gap / 2;
    at.rowHeight = std::max (at.rowHeight, box);
}

void ContactSheet::scaled (Canvas& canvas, Cursor& at, const std::string& name, int width, int height) const
{
    canvas.drawImage (images.at (name), at.x, at.y, width, height);
    at.x += width + gap;
    at.rowHeight = std::max (at.rowHeight, height);
}

void ContactSheet::threeSlice (Canvas& canvas, Cursor& at, const std::string& name, int cap, int width, int height) const
{
    canvas.drawThreeSlice (images.at (name), cap, at.x, at.y, width, height);
    at.x += width + gap;
    at.rowHeight = std::max (at.rowHeight, height);
}

void ContactSheet::panelCrop (Canvas& canvas, Cursor& at, double scale) const
{
    // The editor scales the panel to its 780-pixel width.
    const auto& panel = images.at ("zelpanel");
    const auto width = static_cast<int> (std::lround (780.0 * scale));
    const auto height = static_cast<int> (std::lround (panel.height() * 780.0 / panel.width() * scale));
    Canvas whole (width, height);
    whole.drawImage (panel, 0, 0, width, height);
    const auto shown = whole.toBitmap();
    const auto cropWidth = static_cast<int> (std::lround (360 * scale));
    const auto cropHeight = static_cast<int> (std::lround (120 * scale));
    Canvas crop (cropWidth, cropHeight);
    crop.drawImage (shown, 0, 0, width, height);
    canvas.drawImage (crop.toBitmap(), at.x, at.y, cropWidth, cropHeight);
    at.x += cropWidth + gap;
    at.rowHeight = std::max (at.rowHeight, cropHeight);
}

void ContactSheet::paint (Canvas& canvas, Cursor& at) const
{
    label (canvas, at, "zelbuttonoff · zelbuttonon · zelbuttonred   (36 px, 72 px)");
    for (const auto scale : { 1.0, 2.0 })
        for (const auto* name : { "zelbuttonoff", "zelbuttonon", "zelbuttonred" })
            round (canvas, at, name, buttonDiameter * scale);
    endRow (at);

    label (canvas, at, "zellampoff · zellampon   (33 px, 66 px)      zelswitchon · zelswitchoff   (38 px, 76 px)");
    for (const auto scale : { 1.0, 2.0 })
        for (const auto* name : { "zellampoff", "zellampon" })
            round (canvas, at, name, lampDiameter * scale);
    at.x += gap * 2;
    for (const auto scale : { 1.0, 2.0 })
        for (const auto* name : { "zelswitchon", "zelswitchoff" })
            round (canvas, at, name, switchDiameter * scale);
    endRow (at);

    label (canvas, at, "zelknob   (210 px, 420 px; 46 px, 92 px)");
    for (const auto d : { bigKnob, 2.0 * bigKnob, smallKnob, 2.0 * smallKnob })
    {
        const auto size = static_cast<int> (std::lround (d / 0.945));
        scaled (canvas, at, "zelknob", size, size);
    }
    endRow (at);

    label (canvas, at, "knob22face · knob20face   (78 px knob, 2×)      zelscrew   (24 px, 48 px)");
    for (const auto scale : { 1.0, 2.0 })
    {
        const auto inner = static_cast<int> (std::lround (styleTwoInner * scale));
        scaled (canvas, at, "knob22face", inner, inner);
        const auto dark = static_cast<int> (std::lround (styleThreeFace * scale / 0.9717));
        scaled (canvas, at, "knob20face", dark, dark);
    }
    at.x += gap * 2;
    for (const auto scale : { 1, 2 })
        scaled (canvas, at, "zelscrew", screwSize * scale, screwSize * scale);
    endRow (at);

    label (canvas, at, "zelcapsule   (three-slice, 120 × 34 and 2×)      zelpresetwindow   (three-slice, 190 × 30 and 2×)");
    for (const auto scale : { 1, 2 })
        threeSlice (canvas, at, "zelcapsule", 228, 120 * scale, 34 * scale);
    for (const auto scale : { 1, 2 })
        threeSlice (canvas, at, "zelpresetwindow", 192, 190 * scale, 30 * scale);
    endRow (at);

    label (canvas, at, "zelpanel   (scaled to the 780-px editor, crop; 2×)");
    panelCrop (canvas, at, 1.0);
    panelCrop (canvas, at, 2.0);
    endRow (at);

    label (canvas, at, "zelwordmark   (56 px, 112 px)");
    for (const auto scale : { 1, 2 })
    {
        const auto& w = images.at ("zelwordmark");
        scaled (canvas, at, "zelwordmark", scaledWidth (w, wordmarkHeight * scale), wordmarkHeight * scale);
    }
    endRow (at);

    label (canvas, at, "logomoon · logoblack   (24 px, 48 px)      rorozudizizodoveduzarov (26 px) · reravazavarozadir · vurediroviderude (18 px), 1× and 2×");
    for (const auto scale : { 1, 2 })
        for (const auto* name : { "logomoon", "logoblack" })
            scaled (canvas, at, name, scaledWidth (images.at (name), 24 * scale), 24 * scale);
    endRow (at);
    for (const auto scale : { 1, 2 })
    {
        scaled (canvas, at, "rorozudizizodoveduzarov", scaledWidth (images.at ("rorozudizizodoveduzarov"), 26 * scale), 26 * scale);
        for (const auto* name : { "reravazavarozadir", "vurediroviderude" })
            scaled (canvas, at, name, scaledWidth (images.at (name), 18 * scale), 18 * scale);
    }
    endRow (at);
}

Bitmap ContactSheet::compose() const
{
    Canvas canvas (sheetWidth, sheetHeight);
    canvas.fill (background);
    Cursor at { margin, margin, 0 };
    paint (canvas, at);
    return canvas.toBitmap();
}
} // namespace zel::artwork
