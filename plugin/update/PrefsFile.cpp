#include "PrefsFile.h"

#include "Version.h"

#include <limits>
#include <mutex>
#include <string_view>

namespace vo::plugins::zel::upd
{

namespace
{
// More digits than this is not a time we wrote; treating it as unreadable also
// keeps later arithmetic on lastCheck far away from overflow.
constexpr int kMaxIntegerDigits = 18;

std::mutex& fileUpdateLock()
{
    static std::mutex lock;
    return lock;
}

bool isBlank (char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trim (std::string_view text)
{
    while (! text.empty() && isBlank (text.front()))
        text.remove_prefix (1);

    while (! text.empty() && isBlank (text.back()))
        text.remove_suffix (1);

    return text;
}

// Leading decimal digits with an optional sign; anything unreadable gives 0.
juce::int64 readInteger (std::string_view text)
{
    bool negative = false;

    if (! text.empty() && (text.front() == '-' || text.front() == '+'))
    {
        negative = text.front() == '-';
        text.remove_prefix (1);
    }

    juce::int64 value = 0;
    int digits = 0;

    for (const char c : text)
    {
        if (c < '0' || c > '9')
            break;

        if (++digits > kMaxIntegerDigits)
            return 0;

        value = value * 10 + (c - '0');
    }

    return negative ? -value : value;
}

// Whatever is in the file, only a plain version ever comes out of it. The
// grammar is ASCII, so the junk after it is dropped before it is ever decoded.
juce::String readVersion (std::string_view text)
{
    const auto grammarEnd = text.find_first_not_of ("0123456789.");
    const auto candidate = text.substr (0, grammarEnd);
    return sanitiseVersion (juce::String (std::string (candidate)));
}

void applyLine (std::string_view line, UpdatePrefs& prefs)
{
    line = trim (line);
    const auto equals = line.find ('=');
    const auto key = trim (line.substr (0, equals));
    const auto value = equals == std::string_view::npos ? std::string_view() : trim (line.substr (equals + 1));

    if (key == "lastCheck")
        prefs.lastCheck = readInteger (value);
    else if (key == "lastSeen")
        prefs.lastSeen = readVersion (value);
    else if (key == "dontAsk")
        prefs.dontAsk = readInteger (value) != 0;
}

std::string readStart (const juce::File& file, int maxBytes)
{
    juce::FileInputStream stream (file);

    if (! stream.openedOk())
        return {};

    std::string bytes ((size_t) juce::jlimit<juce::int64> (0, maxBytes, stream.getTotalLength()), '\0');
    const auto got = stream.read (bytes.data(), (int) bytes.size());
    bytes.resize ((size_t) juce::jmax (0, got));
    return bytes;
}
} // namespace

PrefsFile::PrefsFile (juce::File folder)
    : file (folder.getChildFile (kFileName))
{
}

UpdatePrefs PrefsFile::parse (const std::string& text)
{
    UpdatePrefs prefs;
    std::string_view rest (text);

    while (! rest.empty())
    {
        const auto end = rest.find_first_of ("\r\n");
        applyLine (rest.substr (0, end), prefs);
        rest.remove_prefix (end == std::string_view::npos ? rest.size() : end + 1);
    }

    return prefs;
}

std::string PrefsFile::format (const UpdatePrefs& prefs)
{
    return "lastCheck=" + std::to_string (prefs.lastCheck) + "\r\n"
         + "lastSeen=" + sanitiseVersion (prefs.lastSeen).toStdString() + "\r\n"
         + "dontAsk=" + (prefs.dontAsk ? "1" : "0") + "\r\n";
}

UpdatePrefs PrefsFile::read() const
{
    if (! file.existsAsFile())
        return {};

    return parse (readStart (file, kMaxReadBytes));
}

bool PrefsFile::write (const UpdatePrefs& prefs) const
{
    if (! file.getParentDirectory().createDirectory())
        return false;

    juce::TemporaryFile temporary (file);
    const auto text = format (prefs);

    {
        juce::FileOutputStream out (temporary.getFile());

        if (! out.openedOk() || ! out.write (text.data(), text.size()))
            return false;

        out.flush();

        if (out.getStatus().failed())
            return false;
    }

    return temporary.overwriteTargetFileWithTemporary();
}

UpdatePrefs PrefsFile::update (const std::function<void (UpdatePrefs&)>& change) const
{
    const std::lock_guard<std::mutex> lock (fileUpdateLock());

    auto prefs = read();
    change (prefs);
    write (prefs);
    return read();
}

} // namespace vo::plugins::zel::upd
