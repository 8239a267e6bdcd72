// zel-screen-check: reads the screen of a virtual X display as Xvfb keeps it
// in its frame-buffer file (-fbdir; X window dump format), writes an area of
// it as PNG and tells how much of that area lies near one colour. The
// standalone test looks with it for the editor's background in its window.
//
// Usage: zel-screen-check --screen FILE --png FILE [--area X,Y,W,H]
//                         [--colour RRGGBB] [--tolerance N] [--at-least PERCENT]

#include <juce_graphics/juce_graphics.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>

namespace
{

constexpr int kExitMismatch = 1;
constexpr int kExitUsage = 2;
constexpr int kHeaderWords = 25;
constexpr int kColourEntryBytes = 12;
constexpr int kZPixmap = 2;

// The fields of the dump's header this reader needs; the header is always
// stored most significant byte first.
struct DumpHeader
{
    std::uint32_t headerSize = 0, format = 0, width = 0, height = 0, byteOrder = 0, bitsPerPixel = 0,
                  bytesPerLine = 0, redMask = 0, greenMask = 0, blueMask = 0, colours = 0;
};

std::uint32_t bigEndianWord (const juce::MemoryBlock& data, size_t offset)
{
    const auto* bytes = static_cast<const std::uint8_t*> (data.getData()) + offset;
    return (std::uint32_t (bytes[0]) << 24) | (std::uint32_t (bytes[1]) << 16) | (std::uint32_t (bytes[2]) << 8)
           | std::uint32_t (bytes[3]);
}

int lowestBit (std::uint32_t mask)
{
    int shift = 0;
    while (mask != 0 && (mask & 1u) == 0)
    {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

juce::Image readScreen (const juce::File& file, juce::String& error)
{
    juce::MemoryBlock data;
    if (! file.loadFileAsData (data) || data.getSize() < kHeaderWords * 4)
    {
        error = "cannot read " + file.getFullPathName();
        return {};
    }
    const auto word = [&data] (int index) { return bigEndianWord (data, static_cast<size_t> (index) * 4); };
    DumpHeader h;
    h.headerSize = word (0);
    h.format = word (2);
    h.width = word (4);
    h.height = word (5);
    h.byteOrder = word (7);
    h.bitsPerPixel = word (11);
    h.bytesPerLine = word (12);
    h.redMask = word (14);
    h.greenMask = word (15);
    h.blueMask = word (16);
    h.colours = word (19);

    if (h.format != kZPixmap || (h.bitsPerPixel != 32 && h.bitsPerPixel != 24) || h.width == 0 || h.height == 0
        || h.width > 16384 || h.height > 16384 || h.redMask == 0 || h.greenMask == 0 || h.blueMask == 0)
    {
        error = file.getFullPathName() + " is not a true-colour screen dump of 24 or 32 bits per pixel";
        return {};
    }
    const auto pixelsAt = static_cast<juce::uint64> (h.headerSize) + juce::uint64 (h.colours) * kColourEntryBytes;
    if (pixelsAt + juce::uint64 (h.bytesPerLine) * h.height > data.getSize()
        || h.bytesPerLine < h.width * (h.bitsPerPixel / 8))
    {
        error = file.getFullPathName() + " is shorter than its header says";
        return {};
    }

    const int bytesPerPixel = static_cast<int> (h.bitsPerPixel / 8);
    const int redShift = lowestBit (h.redMask), greenShift = lowestBit (h.greenMask), blueShift = lowestBit (h.blueMask);
    juce::Image screen (juce::Image::RGB, static_cast<int> (h.width), static_cast<int> (h.height), false);
    const juce::Image::BitmapData out (screen, juce::Image::BitmapData::writeOnly);
    const auto* pixels = static_cast<const std::uint8_t*> (data.getData()) + pixelsAt;
    for (int y = 0; y < screen.getHeight(); ++y)
    {
        const auto* row = pixels + static_cast<size_t> (y) * h.bytesPerLine;
        for (int x = 0; x < screen.getWidth(); ++x)
        {
            const auto* p = row + x * bytesPerPixel;
            std::uint32_t value = 0;
            for (int b = 0; b < bytesPerPixel; ++b)
            {
                const int significance = h.byteOrder == 0 ? b : bytesPerPixel - 1 - b;
                value |= std::uint32_t (p[b]) << (8 * significance);
            }
            const auto channel = [value] (std::uint32_t mask, int shift) {
                return static_cast<juce::uint8> ((value & mask) >> shift);
            };
            out.setPixelColour (x, y, juce::Colour (channel (h.redMask, redShift), channel (h.greenMask, greenShift),
                                                    channel (h.blueMask, blueShift)));
        }
    }
    return screen;
}

// The share of the area's pixels whose every channel lies within `tolerance`
// of `colour`, in per cent.
double percentNear (const juce::Image& image, juce::Colour colour, int tolerance)
{
    const juce::Image::BitmapData in (image, juce::Image::BitmapData::readOnly);
    juce::int64 near = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const auto c = in.getPixelColour (x, y);
            if (std::abs (c.getRed() - colour.getRed()) <= tolerance
                && std::abs (c.getGreen() - colour.getGreen()) <= tolerance
                && std::abs (c.getBlue() - colour.getBlue()) <= tolerance)
                ++near;
        }
    const auto all = juce::int64 (image.getWidth()) * image.getHeight();
    return all > 0 ? 100.0 * static_cast<double> (near) / static_cast<double> (all) : 0.0;
}

int usage (const juce::String& problem)
{
    std::cerr << "zel-screen-check: " << problem << "\n"
              << "usage: zel-screen-check --screen FILE --png FILE [--area X,Y,W,H]\n"
                 "                        [--colour RRGGBB] [--tolerance N] [--at-least PERCENT]"
              << std::endl;
    return kExitUsage;
}

} // namespace

int main (int argc, char** argv)
{
    juce::File screenFile, pngFile;
    juce::String area, colourText;
    int tolerance = 24;
    double atLeast = 0.0;
    const auto cwd = juce::File::getCurrentWorkingDirectory();
    for (int i = 1; i < argc; ++i)
    {
        const juce::String option (argv[i]);
        if (i + 1 >= argc)
            return usage (option + " wants a value");
        const auto value = juce::String::fromUTF8 (argv[++i]);
        if (option == "--screen")
            screenFile = cwd.getChildFile (value);
        else if (option == "--png")
            pngFile = cwd.getChildFile (value);
        else if (option == "--area")
            area = value;
        else if (option == "--colour")
            colourText = value;
        else if (option == "--tolerance" && value.containsOnly ("0123456789"))
            tolerance = value.getIntValue();
        else if (option == "--at-least" && value.containsOnly ("0123456789."))
            atLeast = value.getDoubleValue();
        else
            return usage ("cannot use " + option + " " + value);
    }
    if (screenFile == juce::File() || pngFile == juce::File())
        return usage ("--screen and --png are needed");

    juce::String error;
    auto screen = readScreen (screenFile, error);
    if (! screen.isValid())
    {
        std::cerr << "zel-screen-check: " << error << std::endl;
        return kExitMismatch;
    }

    auto bounds = screen.getBounds();
    if (area.isNotEmpty())
    {
        juce::StringArray parts;
        parts.addTokens (area, ",", {});
        if (parts.size() != 4)
            return usage ("--area wants X,Y,W,H");
        const juce::Rectangle<int> wanted (parts[0].getIntValue(), parts[1].getIntValue(), parts[2].getIntValue(),
                                           parts[3].getIntValue());
        bounds = wanted.getIntersection (screen.getBounds());
        if (bounds.isEmpty())
            return usage ("--area " + area + " lies off the screen");
    }
    const auto picture = screen.getClippedImage (bounds).createCopy();

    pngFile.deleteFile();
    {
        juce::FileOutputStream out (pngFile);
        if (! out.openedOk() || ! juce::PNGImageFormat().writeImageToStream (picture, out))
        {
            std::cerr << "zel-screen-check: cannot write " << pngFile.getFullPathName() << std::endl;
            return kExitMismatch;
        }
    }

    if (colourText.isEmpty())
        return 0;
    if (colourText.length() != 6 || ! colourText.containsOnly ("0123456789abcdefABCDEF"))
        return usage ("--colour wants six hexadecimal digits");
    const auto colour = juce::Colour (0xff000000u | static_cast<juce::uint32> (colourText.getHexValue32()));
    const double share = percentNear (picture, colour, tolerance);
    std::cout << "zel-screen-check: " << juce::String (share, 1) << " % of " << bounds.getWidth() << " x "
              << bounds.getHeight() << " at " << bounds.getX() << "," << bounds.getY() << " within " << tolerance
              << " of #" << colourText.toLowerCase() << " (at least " << atLeast << " % wanted)" << std::endl;
    return share >= atLeast ? 0 : kExitMismatch;
}
