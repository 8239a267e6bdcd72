// Test entry point: every test process gets its own empty home folder, so the
// log, presets and settings written by the code under test never touch the
// real user's files, and JUCE's message system is up for the whole run.

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <cstdlib>
#include <string>

int main (int argc, char** argv)
{
    char pattern[] = "/tmp/zel-test-home-XXXXXX";
    if (const char* home = mkdtemp (pattern))
        setenv ("HOME", home, 1);

    ::testing::InitGoogleTest (&argc, argv);

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
    }

    if (std::getenv ("ZEL_TEST_KEEP_HOME") == nullptr)
        juce::File (pattern).deleteRecursively();

    return result;
}
