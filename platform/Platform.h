#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The few operating-system services the product needs, one implementation per
// OS. Everything else in the tree is portable.
namespace vo::platform
{

// Paths going in and out are UTF-8 text.

// The user's roaming application-data folder (no trailing separator), or an
// empty string when the environment gives none that can be used.
std::string applicationDataFolder();

// The separator between folder names in paths this OS hands out.
char pathSeparator() noexcept;

// Milliseconds since an arbitrary fixed point, never going backwards.
std::uint64_t tickCountMs() noexcept;

struct LocalTime
{
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

LocalTime localTime() noexcept;

unsigned long currentThreadId() noexcept;
unsigned long currentProcessId() noexcept;

// Creates a folder (one level). Returns true when it exists afterwards.
bool createFolder (const std::string& path) noexcept;

// std::fopen for a UTF-8 path, whatever the OS's own code page.
std::FILE* openFile (const std::string& path, const char* mode) noexcept;

// The folder that the diagnostic log and crash dumps go under. On Windows this
// is the APPDATA environment variable (which a host may point elsewhere than
// the shell's folder); empty when it is unset, empty or too long for a path.
// Elsewhere it is applicationDataFolder().
std::string diagnosticsDataFolder();

// The user's language as an ISO 639 code ("en", "de", ...), or an empty string
// when the operating system names none.
std::string userLanguageCode();

//==============================================================================
// Stacks of other threads, for the freeze report.

// Readies stack capture and symbol lookup; the first call may take a while.
void prepareStackCapture();

// Ids of this process's threads other than the calling one.
std::vector<unsigned long> listOtherThreads();

// Captures up to `maxFrames` return addresses of a running thread of this
// process, innermost first. Returns the number captured, or 0 when the thread
// could not be reached (it is then skipped). The thread is held only while
// its registers are read; on Windows the stack is walked after it resumes.
int captureThreadStack (unsigned long threadId, std::uintptr_t* frames, int maxFrames);

struct CodeLocation
{
    std::string module;            // file name of the module, without its folder; "?" when unknown
    std::string symbol;            // empty when no name is known
    std::uint64_t displacement = 0; // from the start of the symbol
};

CodeLocation describeCodeAddress (std::uintptr_t address);

// Writes a dump of the whole live process that the platform's debuggers open.
// Returns false, leaving no file behind, when that is not possible here.
bool writeProcessDump (const std::string& path);

} // namespace vo::platform
