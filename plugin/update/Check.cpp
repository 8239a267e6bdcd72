#include "Check.h"

#include "BodyReader.h"
#include "DocumentAddress.h"
#include "PrefsFile.h"
#include "ReleaseParser.h"
#include "Version.h"
#include "plugin/ProductInfo.h"

#include <juce_events/juce_events.h>

#include <cstdlib>

namespace vo::plugins::zel::upd
{

namespace
{
constexpr const char* kThreadName = "zel update";

#if JUCE_WINDOWS
constexpr const char* kOperatingSystem = "Windows";
#elif JUCE_MAC
constexpr const char* kOperatingSystem = "macOS";
#else
constexpr const char* kOperatingSystem = "Linux";
#endif

// The version goes into a request header; a stray line break must not be able
// to add headers of its own.
juce::String headerSafe (const juce::String& text)
{
    juce::String safe;

    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
        if (*p > 0x20 && *p < 0x7f)
            safe += *p;

    return safe;
}

juce::String environmentOverride()
{
    const char* value = std::getenv (Check::kUrlOverrideVariable);
    return value == nullptr ? juce::String() : juce::String::fromUTF8 (value).trim();
}

Outcome outcomeFor (const Release& release, const juce::String& currentVersion)
{
    if (! release.isUsable())
        return Outcome::failed;

    return isNewer (release.version, currentVersion) ? Outcome::available : Outcome::upToDate;
}
} // namespace

Check::Check (juce::String folderToUse, juce::String versionRunning, bool allowOverride, juce::String documentUrlToUse)
    : juce::Thread (kThreadName),
      folder (std::move (folderToUse)),
      currentVersion (std::move (versionRunning)),
      allowUrlOverride (allowOverride),
      documentUrl (documentUrlToUse.isNotEmpty() ? std::move (documentUrlToUse) : builtInDocumentUrl()),
      prefs (PrefsFile (juce::File (folder)).read())
{
    // Creates the shared weak-reference block here on the message thread, so the
    // worker only ever copies it and never races to create it.
    [[maybe_unused]] const juce::WeakReference<Check> primed (this);
}

Check::~Check()
{
    signalThreadShouldExit();
    cancelActiveRequest();

    // The members below are still in use while run() lasts; tearing them down
    // under it would crash. A cancelled request lets it end within about a
    // second, so the second wait is only ever a safety net.
    if (! waitForThreadToExit (kStopTimeoutMs))
        waitForThreadToExit (-1);

    masterReference.clear();
}

bool Check::dontAsk() const
{
    const std::lock_guard<std::mutex> lock (prefsLock);
    return prefs.dontAsk;
}

juce::String Check::lastSeen() const
{
    const std::lock_guard<std::mutex> lock (prefsLock);
    return prefs.lastSeen;
}

juce::int64 Check::lastCheck() const
{
    const std::lock_guard<std::mutex> lock (prefsLock);
    return prefs.lastCheck;
}

void Check::setDontAsk (bool value)
{
    {
        const std::lock_guard<std::mutex> lock (prefsLock);

        if (prefs.dontAsk == value)
            return;

        prefs.dontAsk = value;
    }

    takePrefs (PrefsFile (juce::File (folder)).update ([value] (UpdatePrefs& p) { p.dontAsk = value; }));
}

juce::String Check::updateUrl() const
{
    if (allowUrlOverride)
        if (const auto overridden = environmentOverride(); overridden.isNotEmpty())
            return overridden;

    return documentUrl;
}

juce::String Check::userAgentHeader() const
{
    return "User-Agent: " + juce::String (product::kName) + "/" + headerSafe (currentVersion)
         + " (" + product::kSiteName + "; " + kOperatingSystem + ")";
}

juce::int64 Check::nowSeconds()
{
    return juce::Time::currentTimeMillis() / 1000;
}

void Check::run()
{
    const auto body = fetchDocument();

    if (threadShouldExit())
        return;

    const auto release = parseRelease (decodeDocument (body));
    const auto outcome = outcomeFor (release, currentVersion);

    // No answer at all leaves the bookkeeping alone, so the next automatic
    // opportunity tries again.
    if (! body.isEmpty())
        recordCheck (release);

    if (! threadShouldExit() && (manual || outcome == Outcome::available))
        post (outcome, release);
}

juce::MemoryBlock Check::fetchDocument()
{
    auto address = updateUrl();

    for (int hop = 0; hop <= kMaxRedirects; ++hop)
    {
        if (! isFetchableAddress (address) || threadShouldExit())
            return {};

        auto response = request (address);

        if (! isRedirectStatus (response.statusCode))
            return std::move (response.body);

        // Redirects are followed here rather than by the network layer, so
        // every hop passes the same address rules, including no step down
        // from https to http.
        address = redirectTarget (address, response.location);
    }

    return {};
}

Check::Response Check::request (const juce::String& address)
{
    juce::WebInputStream stream (juce::URL (address), false);
    stream.withExtraHeaders (userAgentHeader())
        .withConnectionTimeout (kConnectTimeoutMs)
        .withNumRedirectsToFollow (0);

    {
        const std::lock_guard<std::mutex> lock (streamLock);
        activeStream = &stream;
    }

    auto response = exchange (stream);

    {
        const std::lock_guard<std::mutex> lock (streamLock);
        activeStream = nullptr;
    }

    return response;
}

Check::Response Check::exchange (juce::WebInputStream& stream)
{
    Response response;

    // Registered first, checked second: a destructor that signalled before the
    // stream was registered is seen here, one that signalled after cancels it.
    if (threadShouldExit() || ! stream.connect (nullptr))
        return response;

    response.statusCode = stream.getStatusCode();

    if (isRedirectStatus (response.statusCode))
        response.location = stream.getResponseHeaders()["Location"];
    else if (response.statusCode == 0 || response.statusCode == 200)
        response.body = readCappedBody (stream, [this] { return threadShouldExit(); });

    return response;
}

void Check::cancelActiveRequest()
{
    const std::lock_guard<std::mutex> lock (streamLock);

    if (activeStream != nullptr)
        activeStream->cancel();
}

void Check::recordCheck (const Release& release)
{
    const auto now = nowSeconds();
    const auto written = PrefsFile (juce::File (folder)).update ([&] (UpdatePrefs& p)
    {
        p.lastCheck = now;

        if (release.isUsable())
            p.lastSeen = release.version;
    });

    takePrefs (written);
}

void Check::takePrefs (const UpdatePrefs& fresh)
{
    const std::lock_guard<std::mutex> lock (prefsLock);
    prefs = fresh;
}

void Check::post (Outcome outcome, const Release& release)
{
    juce::MessageManager::callAsync ([self = juce::WeakReference<Check> (this), outcome, release]
    {
        auto* check = self.get();

        if (check == nullptr || ! check->onResult)
            return;

        // A copy, because the callback may well delete this check (and with it
        // the original function) while it runs.
        const auto callback = check->onResult;
        callback (outcome, release);
    });
}

} // namespace vo::plugins::zel::upd
