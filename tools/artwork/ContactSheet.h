#pragma once

#include "Bitmap.h"
#include "TextRaster.h"

#include <map>
#include <string>

namespace zel::artwork
{
class Canvas;

/** One picture of every image on the editor's background, at the size the
    editor draws it and at twice that, lit and unlit side by side, named. */
class ContactSheet
{
public:
    using Images = std::map<std::string, Bitmap>;

    ContactSheet (const Images& images, const TextRaster& labelFont);

    Bitmap compose() const;

private:
    struct Cursor
    {
        int x;
        int y;
        int rowHeight;
    };

    void label (Canvas& canvas, Cursor& at, const std::string& text) const;
    void endRow (Cursor& at) const;
    void round (Canvas& canvas, Cursor& at, const std::string& name, double diameter) const;
    void scaled (Canvas& canvas, Cursor& at, const std::string& name, int width, int height) const;
    void threeSlice (Canvas& canvas, Cursor& at, const std::string& name, int cap, int width, int height) const;
    void panelCrop (Canvas& canvas, Cursor& at, double scale) const;
    void paint (Canvas& canvas, Cursor& at) const;

    const Images& images;
    const TextRaster& font;
};
} // namespace zel::artwork
