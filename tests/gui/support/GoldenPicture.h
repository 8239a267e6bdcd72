#pragma once

#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>

namespace vo::test
{

// Compares a rendered picture with its golden PNG in tests/gui/goldens.
// The picture goes through PNG first, exactly like a golden did, and every
// channel of every pixel (alpha too) may differ by kTolerance. On a mismatch
// the actual picture and a diff (red where it differs) are written to the
// output folder and named in the failure. Goldens are only ever written by
// scripts/refresh-goldens: it sets ZEL_REFRESH_GOLDENS to a staging folder,
// where every picture is written instead of being compared.
class GoldenPicture
{
public:
    static constexpr int kTolerance = 2;

    static ::testing::AssertionResult matches (const juce::Image& actual, const juce::String& name);

    // "name@1x", "name@2x": one golden per name and scale.
    static juce::String nameAt (const juce::String& name, float scale);

private:
    static juce::Image throughPng (const juce::Image& picture);
    static juce::Image diff (const juce::Image& actual, const juce::Image& golden);
    static int largestDifference (const juce::Image& actual, const juce::Image& golden, int& differingPixels);
    static bool write (const juce::Image& picture, const juce::File& file);
    static juce::File outputFolder();
};

} // namespace vo::test
