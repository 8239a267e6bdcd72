// The Windows platform layer, with the diagnostic log and the freeze watchdog
// on top of it, run under Wine: folders, clocks, ids, the log file in
// %APPDATA%\velmora\diag, and a freeze report with stack traces and a minidump.
// Prints one line per check and "N passed, M failed"; exits non-zero on failure.

#include "CheckReport.h"
#include "diagnostics/DiagLog.h"
#include "platform/Platform.h"
#include "platform/windows/WideText.h"

#include "platform/windows/WindowsApi.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

using vo::test::check;

using vo::platform::toUtf8;
using vo::platform::toWide;

std::string lower (std::string text)
{
    std::transform (text.begin(), text.end(), text.begin(), [] (unsigned char c) { return (char) std::tolower (c); });
    return text;
}

std::string environment (const wchar_t* name)
{
    wchar_t value[32768];
    const DWORD length = GetEnvironmentVariableW (name, value, 32768);
    return length > 0 && length < 32768 ? toUtf8 (value) : std::string();
}

bool isFolder (const std::string& path)
{
    const DWORD attributes = GetFileAttributesW (toWide (path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> readLines (const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in (toWide (path).c_str(), std::ios::binary);
    std::string line;
    while (std::getline (in, line))
    {
        if (! line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back (line);
    }
    return lines;
}

bool contains (const std::vector<std::string>& lines, const std::string& text)
{
    return std::any_of (lines.begin(), lines.end(), [&] (const std::string& l) { return l.find (text) != std::string::npos; });
}

// A thread stuck in a wait, as a frozen message thread would be. Kept out of
// line so that it shows in its stack under its own name.
HANDLE releaseStalledThread = nullptr;

__attribute__ ((noinline)) void zelStalledMessageThread()
{
    WaitForSingleObject (releaseStalledThread, INFINITE);
    __asm__ __volatile__ ("" ::: "memory"); // no tail call: this frame must stay on the stack
}

// A thread parked in zelStalledMessageThread from construction until release().
class StalledThread
{
public:
    StalledThread()
    {
        releaseStalledThread = CreateEventW (nullptr, TRUE, FALSE, nullptr);
        thread = std::thread ([this] {
            id = vo::platform::currentThreadId();
            zelStalledMessageThread();
        });
        while (id == 0)
            Sleep (1);
    }

    void release()
    {
        SetEvent (releaseStalledThread);
        thread.join();
    }

    std::atomic<unsigned long> id { 0 };

private:
    std::thread thread;
};

//==============================================================================
void testFolders()
{
    const auto appData = vo::platform::applicationDataFolder();
    wchar_t shellFolder[MAX_PATH + 1] {};
    const bool shellOk = SHGetSpecialFolderPathW (nullptr, shellFolder, CSIDL_APPDATA, FALSE) != FALSE;
    check (! appData.empty() && shellOk && lower (appData) == lower (toUtf8 (shellFolder)),
           "application-data folder is the shell's CSIDL_APPDATA folder", appData);
    check (isFolder (appData), "application-data folder exists");

    const auto appDataVariable = environment (L"APPDATA");
    check (lower (appData) == lower (appDataVariable), "shell folder and %APPDATA% agree", appDataVariable);

    check (lower (vo::platform::diagnosticsDataFolder()) == lower (appDataVariable),
           "diagnostics folder is %APPDATA%", vo::platform::diagnosticsDataFolder());

    // The log follows APPDATA itself, and refuses what cannot be a usable path.
    const auto saved = toWide (appDataVariable);
    SetEnvironmentVariableW (L"APPDATA", L"C:\\elsewhere\\Roaming\\");
    check (vo::platform::diagnosticsDataFolder() == "C:\\elsewhere\\Roaming", "diagnostics folder follows APPDATA",
           vo::platform::diagnosticsDataFolder());
    SetEnvironmentVariableW (L"APPDATA", std::wstring (300, L'x').c_str());
    check (vo::platform::diagnosticsDataFolder().empty(), "APPDATA of 300 characters is refused");
    SetEnvironmentVariableW (L"APPDATA", nullptr);
    check (vo::platform::diagnosticsDataFolder().empty(), "unset APPDATA gives no diagnostics folder");
    SetEnvironmentVariableW (L"APPDATA", saved.c_str());

    check (vo::platform::pathSeparator() == '\\', "path separator is a backslash");

    wchar_t temp[MAX_PATH + 1] {};
    GetTempPathW (MAX_PATH, temp);
    const auto base = toUtf8 (temp) + "zel-platform-" + std::to_string (GetCurrentProcessId());
    const auto sub = base + "\\M\xC3\xBCller \xC3\xA7\xC4\x9F"; // "Müller çğ": user names are rarely ASCII
    check (vo::platform::createFolder (base) && isFolder (base), "createFolder makes a folder");
    check (vo::platform::createFolder (base), "createFolder on an existing folder is true");
    check (vo::platform::createFolder (sub) && isFolder (sub), "createFolder with a non-ASCII name");
    const auto file = base + "\\plain-file";
    { std::ofstream (toWide (file).c_str()) << "x"; }
    check (! vo::platform::createFolder (file), "createFolder where a file stands is false");
    check (! vo::platform::createFolder (base + "\\missing\\deeper"), "createFolder below a missing folder is false");
    check (! vo::platform::createFolder (""), "createFolder of an empty path is false");
    DeleteFileW (toWide (file).c_str());
    RemoveDirectoryW (toWide (sub).c_str());
    RemoveDirectoryW (toWide (base).c_str());

    const auto language = vo::platform::userLanguageCode();
    const bool plausible = language.size() >= 2 && language.size() <= 3
                           && std::all_of (language.begin(), language.end(), [] (char c) { return c >= 'a' && c <= 'z'; });
    check (plausible, "user language is an ISO 639 code", language);
}

void testClocksAndIds()
{
    const auto before = vo::platform::tickCountMs();
    const auto system = GetTickCount64();
    check (before + 50 >= system && system + 50 >= before, "tick count is GetTickCount64");
    Sleep (200);
    const auto elapsed = vo::platform::tickCountMs() - before;
    check (elapsed >= 150 && elapsed < 2000, "tick count advances with time", std::to_string (elapsed) + " ms for 200 ms");

    SYSTEMTIME now {};
    GetLocalTime (&now);
    const auto local = vo::platform::localTime();
    const int ours = local.hour * 3600 + local.minute * 60 + local.second;
    const int theirs = now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
    check (local.hour >= 0 && local.hour < 24 && local.minute >= 0 && local.minute < 60 && local.second >= 0
               && local.second < 62 && local.millisecond >= 0 && local.millisecond < 1000 && std::abs (ours - theirs) <= 2,
           "local time is GetLocalTime");

    check (vo::platform::currentThreadId() == GetCurrentThreadId(), "thread id is GetCurrentThreadId");
    check (vo::platform::currentProcessId() == GetCurrentProcessId(), "process id is GetCurrentProcessId");
    unsigned long otherId = 0;
    std::thread ([&] { otherId = vo::platform::currentThreadId(); }).join();
    check (otherId != 0 && otherId != vo::platform::currentThreadId(), "another thread has another id");
}

void testStacksDirectly()
{
    StalledThread stalled;
    Sleep (100);

    const auto threads = vo::platform::listOtherThreads();
    check (std::find (threads.begin(), threads.end(), stalled.id.load()) != threads.end()
               && std::find (threads.begin(), threads.end(), vo::platform::currentThreadId()) == threads.end(),
           "thread snapshot lists other threads, not the caller", std::to_string (threads.size()) + " threads");

    vo::platform::prepareStackCapture();
    std::uintptr_t frames[40] {};
    const int count = vo::platform::captureThreadStack (stalled.id, frames, 40);
    check (count >= 2, "stack of a waiting thread captured", std::to_string (count) + " frames");
    check (vo::platform::captureThreadStack (vo::platform::currentThreadId(), frames, 40) == 0,
           "the calling thread is not captured");
    check (vo::platform::captureThreadStack (0xFFFFFFF0ul, frames, 40) == 0, "an unknown thread is skipped");

    const auto own = vo::platform::describeCodeAddress (reinterpret_cast<std::uintptr_t> (&zelStalledMessageThread) + 4);
    check (lower (own.module) == "zel_win_platform_test.exe", "module of a code address, without folder", own.module);
    check (own.symbol == "zelStalledMessageThread" && own.displacement == 4, "symbol and displacement of a code address",
           own.symbol + " +" + std::to_string (own.displacement));
    const auto system = vo::platform::describeCodeAddress (reinterpret_cast<std::uintptr_t> (GetProcAddress (GetModuleHandleW (L"kernel32.dll"), "Sleep")));
    check (lower (system.module) == "kernel32.dll", "module of a system address", system.module);
    const auto unknown = vo::platform::describeCodeAddress (16);
    check (unknown.module == "?" && unknown.symbol.empty(), "an address outside any module is \"?\"");

    stalled.release();
}

//==============================================================================
void testLogAndWatchdog()
{
    auto& log = vo::diagnostics::DiagLog::instance();
    const auto root = vo::platform::diagnosticsDataFolder();

    // Wine hands out process ids again; an earlier program's log of the same
    // id would otherwise be continued, as the log does within one process.
    const auto expectedPath = root + "\\velmora\\diag\\ZEL-" + std::to_string (GetCurrentProcessId()) + ".log";
    DeleteFileW (toWide (expectedPath).c_str());

    log.setup ("velmora", "ZEL", root);
    log.setup ("other", "OTHER", root); // later instances change nothing
    check (log.hasFile(), "log file open");
    check (log.getLogPath() == expectedPath, "log file is %APPDATA%\\velmora\\diag\\ZEL-<pid>.log", log.getLogPath());
    check (log.getDiagnosticsFolder() == root + "\\velmora\\diag", "diagnostics folder", log.getDiagnosticsFolder());

    log.log ("processor CTOR %s v%s", "ZEL", "1.0.0");
    log.log ("%s", std::string (600, 'y').c_str());
    unsigned long workerId = 0;
    std::thread ([&] {
        workerId = vo::platform::currentThreadId();
        vo::diagnostics::DiagLog::instance().log ("from another thread");
    }).join();

    auto lines = readLines (expectedPath);
    check (! lines.empty() && lines.front().find ("] ") != std::string::npos
               && lines.front().substr (lines.front().find ("] ") + 2) == "=== session start ===",
           "first line: session start", lines.empty() ? std::string() : lines.front());

    const std::regex format (R"(^(\d{2}):(\d{2}):(\d{2})\.(\d{3}) \[t([ \d]{5,})\] (.*)$)");
    bool allMatch = ! lines.empty();
    for (const auto& line : lines)
        allMatch = allMatch && std::regex_match (line, format);
    check (allMatch, "every line is \"HH:MM:SS.mmm [tNNNNN] text\"");

    char mainTag[32], workerTag[32];
    std::snprintf (mainTag, sizeof (mainTag), "[t%5lu] processor CTOR ZEL v1.0.0", GetCurrentThreadId());
    std::snprintf (workerTag, sizeof (workerTag), "[t%5lu] from another thread", workerId);
    check (contains (lines, mainTag), "line carries the writing thread's id, right-aligned", mainTag);
    check (contains (lines, workerTag), "other thread's line carries its id", workerTag);
    const auto longLine = std::find_if (lines.begin(), lines.end(), [] (const std::string& l) { return l.find ("yyyy") != std::string::npos; });
    const auto longMessage = longLine != lines.end() ? longLine->substr (longLine->find ("] ") + 2) : std::string();
    check (longMessage == std::string (511, 'y'), "a 600-character message is cut to 511", std::to_string (longMessage.size()));

    //--------------------------------------------------------------------------
    // The freeze watchdog: an open editor whose message thread stalls.
    StalledThread stalled;

    log.processorCreated();
    check (log.isWatchdogRunning(), "first processor starts the watchdog");

    log.openEditors = 1;
    log.lastUiHeartbeat = vo::platform::tickCountMs() - 6000;
    log.lastAudioHeartbeat = vo::platform::tickCountMs() - 100;

    const auto deadline = GetTickCount64() + 20000;
    while (GetTickCount64() < deadline && ! contains (readLines (expectedPath), "!!! Freeze-Daten geschrieben"))
        Sleep (100);

    lines = readLines (expectedPath);
    check (contains (lines, "watchdog started"), "log: watchdog started");
    check (contains (lines, "!!! FREEZE DETECTED: UI-Thread seit ") && contains (lines, " ms ohne Herzschlag (Audio vor ")
               && contains (lines, ", Editoren 1)"),
           "log: freeze detected, with heartbeat ages and editor count");
    check (contains (lines, "!!! Freeze-Daten geschrieben"), "log: report closed");

    // Stacks: a header per thread, then frame lines "    <module, 24 wide> <symbol +0x.. | 0x..>".
    const std::regex header (R"(\] --- Stack Thread (\d+) ---$)");
    const std::regex frame (R"(\] {5}(\S.{23}|\S{24,}) (.+ \+0x[0-9a-f]+|0x[0-9a-f]+)$)");
    int stacks = 0, frames = 0, namedModules = 0, symbols = 0, stalledFrames = 0;
    bool stalledSeen = false, frameAfterEachHeader = true, inStalled = false, ownFunctionNamed = false;
    for (size_t i = 0; i < lines.size(); ++i)
    {
        std::smatch match;
        if (std::regex_search (lines[i], match, header))
        {
            ++stacks;
            inStalled = std::stoul (match[1].str()) == stalled.id.load();
            stalledSeen = stalledSeen || inStalled;
            frameAfterEachHeader = frameAfterEachHeader && i + 1 < lines.size() && std::regex_search (lines[i + 1], frame);
        }
        else if (std::regex_search (lines[i], match, frame))
        {
            ++frames;
            const auto module = match[1].str().substr (0, match[1].str().find (' '));
            namedModules += module != "?" ? 1 : 0;
            symbols += match[2].str().find (" +0x") != std::string::npos ? 1 : 0;
            if (inStalled)
            {
                ++stalledFrames;
                ownFunctionNamed = ownFunctionNamed || lines[i].find ("zelStalledMessageThread") != std::string::npos;
            }
        }
        else
        {
            inStalled = false;
        }
    }
    check (stacks >= 2 && stalledSeen, "stack traces of the other threads, the stalled one included",
           std::to_string (stacks) + " threads");
    check (frameAfterEachHeader && frames >= stacks, "every trace has frame lines in the log's format",
           std::to_string (frames) + " frames");
    check (stalledFrames >= 2 && stalledFrames <= 40, "stalled thread's trace has 2..40 frames", std::to_string (stalledFrames));
    check (namedModules > 0, "frames name their modules", std::to_string (namedModules) + " of " + std::to_string (frames));
    check (symbols > 0, "frames carry symbol names", std::to_string (symbols) + " of " + std::to_string (frames));
    check (ownFunctionNamed, "the stalled thread's trace names the function it waits in");

    const auto dumpLine = std::find_if (lines.begin(), lines.end(), [] (const std::string& l) { return l.find ("] Minidump: ") != std::string::npos; });
    std::string dumpPath;
    if (dumpLine != lines.end())
        dumpPath = dumpLine->substr (dumpLine->find ("] Minidump: ") + 12);
    const auto dumpPrefix = root + "\\velmora\\diag\\freeze-ZEL-" + std::to_string (GetCurrentProcessId()) + "-";
    check (dumpPath.rfind (dumpPrefix, 0) == 0 && dumpPath.size() > 4 && dumpPath.substr (dumpPath.size() - 4) == ".dmp",
           "log: \"Minidump: <diag>\\freeze-ZEL-<pid>-<tick>.dmp\"", dumpPath);
    std::ifstream dump (toWide (dumpPath).c_str(), std::ios::binary);
    char signature[4] {};
    dump.read (signature, 4);
    dump.seekg (0, std::ios::end);
    const auto dumpSize = (long long) dump.tellg();
    check (dump.good() && std::string (signature, 4) == "MDMP" && dumpSize > 1024, "minidump file written",
           std::to_string (dumpSize) + " bytes");

    // The last processor stops the watchdog; that is the log's last line.
    log.openEditors = 0;
    log.processorDestroyed();
    check (! log.isWatchdogRunning(), "last processor stops the watchdog");
    lines = readLines (expectedPath);
    check (! lines.empty() && lines.back().find ("] watchdog stopped") != std::string::npos, "log ends with \"watchdog stopped\"");

    stalled.release();

    std::printf ("info: log file %s\n", expectedPath.c_str());
    const size_t shown = std::min<size_t> (lines.size(), 60);
    for (size_t i = 0; i < shown; ++i)
        std::printf ("log| %s\n", lines[i].c_str());
}

} // namespace

int main()
{
    testFolders();
    testClocksAndIds();
    testStacksDirectly();
    testLogAndWatchdog();

    return vo::test::CheckReport::forThisProgram().finish();
}
