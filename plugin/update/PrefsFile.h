#pragma once

#include "UpdatePrefs.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <string>

namespace vo::plugins::zel::upd
{

// "update.txt" in the user data folder: key=value lines, tolerant on reading,
// replaced as a whole on writing.
class PrefsFile
{
public:
    static constexpr const char* kFileName = "update.txt";

    // Only the start of an oversized file is looked at; ours is a few dozen bytes.
    static constexpr int kMaxReadBytes = 16 * 1024;

    explicit PrefsFile (juce::File folder);

    juce::File getFile() const { return file; }

    // Defaults when the file is missing, a folder or unreadable.
    UpdatePrefs read() const;

    // Creates the folder if needed; the old content is only replaced once the
    // new one is completely on disk.
    bool write (const UpdatePrefs& prefs) const;

    // Reads afresh, applies the change, writes, and returns what the file now
    // holds (the old values when the write failed). Changes from every instance
    // in this process are serialised, so concurrent updates of different
    // fields do not undo each other.
    UpdatePrefs update (const std::function<void (UpdatePrefs&)>& change) const;

    static UpdatePrefs parse (const std::string& text);
    static std::string format (const UpdatePrefs& prefs);

private:
    juce::File file;
};

} // namespace vo::plugins::zel::upd
