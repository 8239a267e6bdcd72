#pragma once

#include <juce_core/juce_core.h>

namespace vo::test
{

// A fresh, empty folder that disappears with the object.
class TestFolder
{
public:
    TestFolder()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile ("zel-update-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64())))
    {
        folder.createDirectory();
    }

    ~TestFolder() { folder.deleteRecursively(); }

    TestFolder (const TestFolder&) = delete;
    TestFolder& operator= (const TestFolder&) = delete;

    const juce::File& get() const { return folder; }
    juce::String path() const { return folder.getFullPathName(); }
    juce::File prefsFile() const { return folder.getChildFile ("update.txt"); }

private:
    juce::File folder;
};

} // namespace vo::test
