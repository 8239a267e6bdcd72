#include "GoldenPicture.h"

#include <cstdlib>

namespace vo::test
{

namespace
{

constexpr const char* kRefreshVariable = "ZEL_REFRESH_GOLDENS";
constexpr const char* kOutputVariable = "ZEL_PICTURE_OUTPUT_DIR";

juce::PixelARGB pixelAt (const juce::Image::BitmapData& data, int x, int y)
{
    return *reinterpret_cast<const juce::PixelARGB*> (data.getPixelPointer (x, y));
}

int channelDifference (juce::PixelARGB a, juce::PixelARGB b)
{
    return juce::jmax (std::abs (a.getAlpha() - b.getAlpha()), std::abs (a.getRed() - b.getRed()),
                       std::abs (a.getGreen() - b.getGreen()), std::abs (a.getBlue() - b.getBlue()));
}

juce::String refreshFolder()
{
    const auto* folder = std::getenv (kRefreshVariable);
    return folder != nullptr ? juce::String (folder) : juce::String();
}

} // namespace

juce::String GoldenPicture::nameAt (const juce::String& name, float scale)
{
    return name + "@" + juce::String (juce::roundToInt (scale)) + "x";
}

::testing::AssertionResult GoldenPicture::matches (const juce::Image& rendered, const juce::String& name)
{
    const auto fileName = name + ".png";
    const auto actual = throughPng (rendered);

    if (const auto staging = refreshFolder(); staging.isNotEmpty())
    {
        if (write (actual, juce::File (staging).getChildFile (fileName)))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "could not write " << fileName << " to " << staging;
    }

    const auto goldenFile = juce::File (ZEL_GOLDEN_DIR).getChildFile (fileName);
    const auto golden = juce::ImageFileFormat::loadFrom (goldenFile).convertedToFormat (juce::Image::ARGB);
    const auto actualFile = outputFolder().getChildFile (name + ".actual.png");

    if (! golden.isValid())
    {
        write (actual, actualFile);
        return ::testing::AssertionFailure() << "no golden " << goldenFile.getFullPathName()
                                             << "; actual picture: " << actualFile.getFullPathName()
                                             << " (scripts/refresh-goldens makes goldens)";
    }

    if (golden.getBounds() != actual.getBounds())
    {
        write (actual, actualFile);
        return ::testing::AssertionFailure() << name << " is " << actual.getWidth() << "x" << actual.getHeight()
                                             << ", its golden " << golden.getWidth() << "x" << golden.getHeight()
                                             << "; actual picture: " << actualFile.getFullPathName();
    }

    int differingPixels = 0;
    const auto largest = largestDifference (actual, golden, differingPixels);
    if (differingPixels == 0)
        return ::testing::AssertionSuccess();

    const auto diffFile = outputFolder().getChildFile (name + ".diff.png");
    write (actual, actualFile);
    write (diff (actual, golden), diffFile);
    return ::testing::AssertionFailure() << name << " differs from " << goldenFile.getFullPathName() << " in "
                                         << differingPixels << " pixels (largest channel difference " << largest
                                         << "); actual: " << actualFile.getFullPathName()
                                         << ", diff: " << diffFile.getFullPathName();
}

juce::Image GoldenPicture::throughPng (const juce::Image& picture)
{
    juce::MemoryOutputStream png;
    juce::PNGImageFormat().writeImageToStream (picture, png);
    return juce::ImageFileFormat::loadFrom (png.getData(), png.getDataSize()).convertedToFormat (juce::Image::ARGB);
}

int GoldenPicture::largestDifference (const juce::Image& actual, const juce::Image& golden, int& differingPixels)
{
    const juce::Image::BitmapData a (actual, juce::Image::BitmapData::readOnly);
    const juce::Image::BitmapData b (golden, juce::Image::BitmapData::readOnly);
    int largest = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
        {
            const auto difference = channelDifference (pixelAt (a, x, y), pixelAt (b, x, y));
            largest = juce::jmax (largest, difference);
            if (difference > kTolerance)
                ++differingPixels;
        }
    return largest;
}

// Red where a pixel differs beyond the tolerance, the actual picture faintly
// in grey elsewhere so the spot can be found.
juce::Image GoldenPicture::diff (const juce::Image& actual, const juce::Image& golden)
{
    juce::Image picture (juce::Image::ARGB, actual.getWidth(), actual.getHeight(), true);
    const juce::Image::BitmapData a (actual, juce::Image::BitmapData::readOnly);
    const juce::Image::BitmapData b (golden, juce::Image::BitmapData::readOnly);
    juce::Image::BitmapData out (picture, juce::Image::BitmapData::writeOnly);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
        {
            const auto pixel = pixelAt (a, x, y);
            if (channelDifference (pixel, pixelAt (b, x, y)) > kTolerance)
                out.setPixelColour (x, y, juce::Colours::red);
            else
                out.setPixelColour (x, y, juce::Colour::greyLevel (0.2f + 0.3f * pixel.getAlpha() / 255.0f));
        }
    return picture;
}

bool GoldenPicture::write (const juce::Image& picture, const juce::File& file)
{
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream stream (file);
    return stream.openedOk() && juce::PNGImageFormat().writeImageToStream (picture, stream);
}

juce::File GoldenPicture::outputFolder()
{
    if (const auto* folder = std::getenv (kOutputVariable))
        return juce::File (folder);
    return juce::File (ZEL_PICTURE_OUTPUT_DIR);
}

} // namespace vo::test
