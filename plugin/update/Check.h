#pragma once

#include "Release.h"
#include "UpdatePrefs.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <functional>
#include <mutex>

namespace vo::plugins::zel::upd
{

// Asks the maker's web server, on its own thread, whether a newer version has
// been published, keeps the bookkeeping in "update.txt" and reports back on the
// message thread. It never installs anything and never runs anything it reads.
//
// The owner starts it with startThread (juce::Thread::Priority::background)
// when it is not already running; one run makes one request and then ends.
class Check : public juce::Thread
{
public:
    static constexpr const char* kUrlOverrideVariable = "VO_ZEL_UPDATE_URL";
    static constexpr int kConnectTimeoutMs = 5000;
    static constexpr int kMaxRedirects = 2;
    static constexpr int kStopTimeoutMs = 6000;

    // folder: the user data folder holding "update.txt". allowUrlOverride lets
    // the environment variable replace the document address; only the
    // standalone application passes true, so hosts always use the built-in one.
    // documentUrl replaces the built-in address (tests point it at a local server).
    Check (juce::String folder, juce::String currentVersion, bool allowUrlOverride,
           juce::String documentUrl = {});
    ~Check() override;

    // Called on the message thread, never after this check is gone. Automatic
    // runs only report `available`; a manual run reports every outcome.
    std::function<void (Outcome, Release)> onResult;

    bool dontAsk() const;
    juce::String lastSeen() const;
    juce::int64 lastCheck() const;

    // Persists at once; "update.txt" is re-read first so other instances'
    // bookkeeping is kept.
    void setDontAsk (bool value);

    void setManual (bool value) { manual = value; }

    juce::String updateUrl() const;

    juce::String userAgentHeader() const;

    static juce::int64 nowSeconds();

    void run() override;

private:
    struct Response
    {
        int statusCode = 0;
        juce::String location;
        juce::MemoryBlock body;
    };

    juce::MemoryBlock fetchDocument();
    Response request (const juce::String& address);
    Response exchange (juce::WebInputStream& stream);
    void cancelActiveRequest();
    void recordCheck (const Release& release);
    void takePrefs (const UpdatePrefs& fresh);
    void post (Outcome outcome, const Release& release);

    const juce::String folder;
    const juce::String currentVersion;
    const bool allowUrlOverride;
    const juce::String documentUrl;

    mutable std::mutex prefsLock;
    UpdatePrefs prefs;

    std::atomic<bool> manual { false };

    std::mutex streamLock;
    juce::WebInputStream* activeStream = nullptr;

    juce::WeakReference<Check>::Master masterReference;
    friend class juce::WeakReference<Check>;

    JUCE_DECLARE_NON_COPYABLE (Check)
};

} // namespace vo::plugins::zel::upd
