// Stacks of other threads and whole-process dumps on Windows x64.
//
// A thread is suspended only for as long as it takes to read its registers;
// its stack is walked from that register copy after it runs again, so a
// report never holds up the host longer than a few microseconds per thread.
// The debugging library is loaded at run time: without it there are no
// symbol names and no dumps, and nothing else changes.

#include "platform/Platform.h"
#include "platform/windows/WideText.h"

#include "platform/windows/WindowsApi.h"

#include <dbghelp.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <mutex>

namespace vo::platform
{

namespace
{
    // What the freeze report prints of a symbol name.
    constexpr ULONG kMaxSymbolNameChars = 255;

    template <typename Function>
    Function lookUp (HMODULE module, const char* name)
    {
        // Through void(*)() so the compiler accepts the change of signature.
        return reinterpret_cast<Function> (reinterpret_cast<void (*)()> (GetProcAddress (module, name)));
    }

    struct DebugHelp
    {
        decltype (&SymSetOptions) setOptions = nullptr;
        decltype (&SymInitialize) initialize = nullptr;
        decltype (&SymRefreshModuleList) refreshModuleList = nullptr;
        decltype (&StackWalk64) stackWalk = nullptr;
        decltype (&SymFunctionTableAccess64) functionTableAccess = nullptr;
        decltype (&SymGetModuleBase64) getModuleBase = nullptr;
        decltype (&SymFromAddr) fromAddress = nullptr;
        decltype (&MiniDumpWriteDump) writeDump = nullptr;

        bool canWalk() const noexcept { return stackWalk != nullptr && functionTableAccess != nullptr && getModuleBase != nullptr; }
    };

    // Loaded once and kept for the life of the process.
    const DebugHelp& debugHelp()
    {
        static const DebugHelp functions = [] {
            DebugHelp loaded;
            if (HMODULE module = LoadLibraryA ("dbghelp.dll"))
            {
                loaded.setOptions = lookUp<decltype (loaded.setOptions)> (module, "SymSetOptions");
                loaded.initialize = lookUp<decltype (loaded.initialize)> (module, "SymInitialize");
                loaded.refreshModuleList = lookUp<decltype (loaded.refreshModuleList)> (module, "SymRefreshModuleList");
                loaded.stackWalk = lookUp<decltype (loaded.stackWalk)> (module, "StackWalk64");
                loaded.functionTableAccess = lookUp<decltype (loaded.functionTableAccess)> (module, "SymFunctionTableAccess64");
                loaded.getModuleBase = lookUp<decltype (loaded.getModuleBase)> (module, "SymGetModuleBase64");
                loaded.fromAddress = lookUp<decltype (loaded.fromAddress)> (module, "SymFromAddr");
                loaded.writeDump = lookUp<decltype (loaded.writeDump)> (module, "MiniDumpWriteDump");
            }
            return loaded;
        }();
        return functions;
    }

    // The debugging library is single-threaded: every call into it goes
    // through this lock.
    std::mutex debugHelpMutex;
    bool symbolsReady = false;

    // The file name part of a module path, pointing into it.
    const char* fileNameOf (const char* path)
    {
        const char* name = path;
        for (const char* c = path; *c != 0; ++c)
            if (*c == '\\' || *c == '/')
                name = c + 1;
        return name;
    }

    // Held with the debugging lock.
    int walkStack (HANDLE thread, CONTEXT& context, std::uintptr_t* frames, int maxFrames)
    {
        const auto& help = debugHelp();
        if (! help.canWalk())
        {
            frames[0] = (std::uintptr_t) context.Rip;
            return context.Rip != 0 ? 1 : 0;
        }

        STACKFRAME64 frame {};
        frame.AddrPC.Offset = context.Rip;
        frame.AddrPC.Mode = AddrModeFlat;
        frame.AddrFrame.Offset = context.Rbp;
        frame.AddrFrame.Mode = AddrModeFlat;
        frame.AddrStack.Offset = context.Rsp;
        frame.AddrStack.Mode = AddrModeFlat;

        int count = 0;
        while (count < maxFrames)
        {
            if (! help.stackWalk (IMAGE_FILE_MACHINE_AMD64, GetCurrentProcess(), thread, &frame, &context,
                                  nullptr, help.functionTableAccess, help.getModuleBase, nullptr))
                break;
            if (frame.AddrPC.Offset == 0)
                break;
            frames[count++] = (std::uintptr_t) frame.AddrPC.Offset;
        }
        return count;
    }
}

void prepareStackCapture()
{
    const auto& help = debugHelp();
    std::lock_guard<std::mutex> lock (debugHelpMutex);

    if (! symbolsReady)
    {
        if (help.setOptions != nullptr && help.initialize != nullptr)
        {
            help.setOptions (SYMOPT_UNDNAME | SYMOPT_DEFERRED_LOADS | SYMOPT_LOAD_LINES);
            symbolsReady = help.initialize (GetCurrentProcess(), nullptr, TRUE) != FALSE;
        }
        return;
    }

    // Plug-ins and host parts loaded since the first report get names too.
    if (help.refreshModuleList != nullptr)
        help.refreshModuleList (GetCurrentProcess());
}

std::vector<unsigned long> listOtherThreads()
{
    std::vector<unsigned long> threads;

    HANDLE snapshot = CreateToolhelp32Snapshot (TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return threads;

    const DWORD process = GetCurrentProcessId();
    const DWORD self = GetCurrentThreadId();
    constexpr DWORD ownerEnd = (DWORD) (offsetof (THREADENTRY32, th32OwnerProcessID) + sizeof (DWORD));

    THREADENTRY32 entry {};
    entry.dwSize = sizeof (entry);
    for (BOOL more = Thread32First (snapshot, &entry); more; more = Thread32Next (snapshot, &entry))
    {
        if (entry.dwSize >= ownerEnd && entry.th32OwnerProcessID == process && entry.th32ThreadID != self)
            threads.push_back ((unsigned long) entry.th32ThreadID);
        entry.dwSize = sizeof (entry);
    }

    CloseHandle (snapshot);
    return threads;
}

int captureThreadStack (unsigned long threadId, std::uintptr_t* frames, int maxFrames)
{
    // A thread cannot read its own registers while suspended.
    if (frames == nullptr || maxFrames <= 0 || threadId == (unsigned long) GetCurrentThreadId())
        return 0;

    HANDLE thread = OpenThread (THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION,
                                FALSE, (DWORD) threadId);
    if (thread == nullptr)
        return 0;

    // Between suspend and resume nothing may allocate or lock: the suspended
    // thread may hold the heap's lock or ours.
    alignas (16) CONTEXT context {};
    context.ContextFlags = CONTEXT_FULL;
    bool haveContext = false;
    if (SuspendThread (thread) != (DWORD) -1)
    {
        haveContext = GetThreadContext (thread, &context) != FALSE;
        ResumeThread (thread);
    }

    int count = 0;
    if (haveContext)
    {
        std::lock_guard<std::mutex> lock (debugHelpMutex);
        count = walkStack (thread, context, frames, maxFrames);
    }

    CloseHandle (thread);
    return count;
}

CodeLocation describeCodeAddress (std::uintptr_t address)
{
    CodeLocation location;
    location.module.assign (1, '?'); // not = "?": GCC 12 warns falsely (-Wrestrict) on that

    HMODULE module = nullptr;
    if (GetModuleHandleExA (GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR> (address), &module)
        && module != nullptr)
    {
        char path[MAX_PATH + 1] {};
        const DWORD length = GetModuleFileNameA (module, path, MAX_PATH);
        const char* name = fileNameOf (path);
        if (length > 0 && length < MAX_PATH && *name != 0)
            location.module = std::string (name, std::strlen (name));
    }

    const auto& help = debugHelp();
    if (help.fromAddress == nullptr)
        return location;

    // SYMBOL_INFO ends in a one-character name; the rest follows it.
    alignas (SYMBOL_INFO) unsigned char buffer[sizeof (SYMBOL_INFO) + kMaxSymbolNameChars * sizeof (CHAR)] {};
    auto* symbol = reinterpret_cast<SYMBOL_INFO*> (buffer);
    symbol->SizeOfStruct = sizeof (SYMBOL_INFO);
    symbol->MaxNameLen = kMaxSymbolNameChars;

    std::lock_guard<std::mutex> lock (debugHelpMutex);
    if (! symbolsReady)
        return location;

    DWORD64 displacement = 0;
    if (help.fromAddress (GetCurrentProcess(), (DWORD64) address, &displacement, symbol) && symbol->NameLen > 0)
    {
        location.symbol.assign (symbol->Name, std::min<ULONG> (symbol->NameLen, kMaxSymbolNameChars));
        location.displacement = (std::uint64_t) displacement;
    }
    return location;
}

bool writeProcessDump (const std::string& path)
{
    const auto& help = debugHelp();
    if (help.writeDump == nullptr || path.empty())
        return false;

    std::wstring widePath;
    try
    {
        widePath = toWide (path);
    }
    catch (...)
    {
        return false;
    }
    if (widePath.empty())
        return false;

    HANDLE file = CreateFileW (widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;

    BOOL written = FALSE;
    {
        std::lock_guard<std::mutex> lock (debugHelpMutex);
        written = help.writeDump (GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpWithThreadInfo,
                                  nullptr, nullptr, nullptr);
    }
    CloseHandle (file);

    // A half-written dump would only mislead whoever opens it.
    if (! written)
        DeleteFileW (widePath.c_str());
    return written != FALSE;
}

} // namespace vo::platform
