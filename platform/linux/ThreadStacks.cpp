// Stacks of other threads and whole-process dumps on Linux.
//
// A thread's stack can only be walked from inside that thread, so we ask it to
// walk itself: a real-time signal makes it run a handler that records its
// return addresses into a preallocated slot. Names are looked up afterwards,
// outside the handler. Dumps are ELF core files written by gdb's gcore.

#include "platform/Platform.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <dirent.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vo::platform
{

namespace
{
    constexpr int kMaxCapturedFrames = 128;
    constexpr int kHandlerFrames = 2; // the handler itself and the kernel's signal trampoline
    constexpr auto kAnswerTimeout = std::chrono::milliseconds (200);
    [[maybe_unused]] constexpr auto kDumpTimeout = std::chrono::seconds (60);

    enum SlotState : int
    {
        kIdle,
        kRequested,
        kDone
    };

    // The one capture in flight. Only the handler running on `target` writes it.
    struct CaptureSlot
    {
        std::atomic<int> state { kIdle };
        std::atomic<pid_t> target { 0 };
        void* frames[kMaxCapturedFrames] {};
        std::atomic<int> count { 0 };
    };

    CaptureSlot slot;
    std::mutex captureMutex;
    std::once_flag prepared;

    int captureSignal()
    {
        return SIGRTMIN + 5;
    }

    pid_t currentTid()
    {
        return (pid_t) syscall (SYS_gettid);
    }

    // Async-signal context: only touches the slot and calls backtrace, which was
    // warmed up beforehand so that it never loads anything here.
    void onCaptureSignal (int, siginfo_t*, void*)
    {
        const int savedErrno = errno;
        if (slot.target.load() == currentTid() && slot.state.load() == kRequested)
        {
            slot.count.store (backtrace (slot.frames, kMaxCapturedFrames));
            slot.state.store (kDone);
        }
        errno = savedErrno;
    }

    std::string withoutFolder (const char* path)
    {
        if (path == nullptr || *path == 0)
            return std::string (1, '?');
        const char* slash = std::strrchr (path, '/');
        return std::string (slash != nullptr ? slash + 1 : path);
    }

    std::string demangled (const char* name)
    {
        int status = 0;
        char* readable = abi::__cxa_demangle (name, nullptr, nullptr, &status);
        if (status != 0 || readable == nullptr)
            return name;
        std::string result (readable);
        std::free (readable);
        return result;
    }

    [[maybe_unused]] bool waitForChild (pid_t child, std::chrono::seconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;)
        {
            int status = 0;
            const pid_t done = waitpid (child, &status, WNOHANG);
            if (done == child)
                return WIFEXITED (status) && WEXITSTATUS (status) == 0;
            if (done < 0 || std::chrono::steady_clock::now() > deadline)
            {
                kill (child, SIGKILL);
                waitpid (child, &status, 0);
                return false;
            }
            std::this_thread::sleep_for (std::chrono::milliseconds (50));
        }
    }

    [[maybe_unused]] bool findProgram (const char* name, std::string& path)
    {
        const char* searchPath = std::getenv ("PATH");
        std::string folders = searchPath != nullptr ? searchPath : "/usr/bin:/bin";
        size_t start = 0;
        while (start <= folders.size())
        {
            const size_t end = folders.find (':', start);
            const auto folder = folders.substr (start, end == std::string::npos ? std::string::npos : end - start);
            const auto candidate = (folder.empty() ? std::string (".") : folder) + "/" + name;
            if (access (candidate.c_str(), X_OK) == 0)
            {
                path = candidate;
                return true;
            }
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
        return false;
    }
}

void prepareStackCapture()
{
    std::call_once (prepared, [] {
        // The first backtrace() loads the unwinder; that must not happen in a handler.
        void* warmUp[4];
        backtrace (warmUp, 4);

        struct sigaction action {};
        action.sa_sigaction = onCaptureSignal;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset (&action.sa_mask);
        sigaction (captureSignal(), &action, nullptr);
    });
}

std::vector<unsigned long> listOtherThreads()
{
    std::vector<unsigned long> threads;
    DIR* tasks = opendir ("/proc/self/task");
    if (tasks == nullptr)
        return threads;

    const auto self = (unsigned long) currentTid();
    while (const dirent* entry = readdir (tasks))
    {
        char* end = nullptr;
        const unsigned long id = std::strtoul (entry->d_name, &end, 10);
        if (end != entry->d_name && *end == 0 && id != self)
            threads.push_back (id);
    }
    closedir (tasks);
    return threads;
}

int captureThreadStack (unsigned long threadId, std::uintptr_t* frames, int maxFrames)
{
    prepareStackCapture();
    std::lock_guard<std::mutex> lock (captureMutex);

    slot.count.store (0);
    slot.target.store ((pid_t) threadId);
    slot.state.store (kRequested);

    int captured = 0;
    if (syscall (SYS_tgkill, getpid(), (pid_t) threadId, captureSignal()) == 0)
    {
        const auto deadline = std::chrono::steady_clock::now() + kAnswerTimeout;
        while (slot.state.load() != kDone && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for (std::chrono::microseconds (200));

        if (slot.state.load() == kDone)
        {
            const int total = slot.count.load();
            for (int i = kHandlerFrames; i < total && captured < maxFrames; ++i)
                frames[captured++] = reinterpret_cast<std::uintptr_t> (slot.frames[i]);
        }
    }

    // A late answer finds the slot idle and records nothing.
    slot.target.store (0);
    slot.state.store (kIdle);
    return captured;
}

CodeLocation describeCodeAddress (std::uintptr_t address)
{
    Dl_info info {};
    // Return addresses point after the call; look up the call itself.
    const auto lookup = address > 0 ? address - 1 : address;
    const bool found = dladdr (reinterpret_cast<void*> (lookup), &info) != 0;

    CodeLocation location;
    location.module = found ? withoutFolder (info.dli_fname) : std::string (1, '?');
    if (! found)
        return location;

    if (info.dli_sname != nullptr && info.dli_saddr != nullptr)
    {
        location.symbol = demangled (info.dli_sname);
        location.displacement = (std::uint64_t) (address - reinterpret_cast<std::uintptr_t> (info.dli_saddr));
    }
    return location;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
 #define ZEL_SHADOW_SANITIZED 1
#elif defined(__has_feature)
 #if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
  #define ZEL_SHADOW_SANITIZED 1
 #endif
#endif

bool writeProcessDump (const std::string& path)
{
#if defined(ZEL_SHADOW_SANITIZED)
    // The shadow memory of an address- or thread-sanitised process would make
    // its core file terabytes large; such builds are for tests only.
    (void) path;
    return false;
#else
    std::string gcore;
    if (path.empty() || ! findProgram ("gcore", gcore))
        return false;

    // gcore appends ".<pid>" to the name it is given.
    const auto pid = getpid();
    const std::string prefix = path + ".part";
    const std::string written = prefix + "." + std::to_string (pid);
    const std::string pidText = std::to_string (pid);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_addopen (&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen (&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    const char* argv[] = { gcore.c_str(), "-o", prefix.c_str(), pidText.c_str(), nullptr };
    pid_t child = 0;
    const int spawned = posix_spawn (&child, gcore.c_str(), &actions, nullptr, const_cast<char**> (argv), environ);
    posix_spawn_file_actions_destroy (&actions);
    if (spawned != 0)
        return false;

    // Under Yama's restricted ptrace, only a process we name may attach to us.
    prctl (PR_SET_PTRACER, (unsigned long) child, 0, 0, 0);
    const bool ok = waitForChild (child, kDumpTimeout);
    prctl (PR_SET_PTRACER, 0, 0, 0, 0);

    struct stat info {};
    if (! ok || stat (written.c_str(), &info) != 0 || info.st_size == 0 || std::rename (written.c_str(), path.c_str()) != 0)
    {
        std::remove (written.c_str());
        return false;
    }
    return true;
#endif
}

} // namespace vo::platform
