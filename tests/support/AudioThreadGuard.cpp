#include "AudioThreadGuard.h"

#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
 #define ZEL_TEST_SANITIZED 1
#elif defined(__has_feature)
 #if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
  #define ZEL_TEST_SANITIZED 1
 #endif
#endif

#if defined(__SANITIZE_THREAD__)
 #define ZEL_TEST_THREAD_SANITIZED 1
#elif defined(__has_feature)
 #if __has_feature(thread_sanitizer)
  #define ZEL_TEST_THREAD_SANITIZED 1
 #endif
#endif

#if ! defined(ZEL_TEST_SANITIZED)
 #include <dlfcn.h>
 #include <pthread.h>
#endif

namespace
{
    thread_local bool armed = false;
    thread_local size_t allocationCount = 0;
    thread_local size_t lockCount = 0;

    [[maybe_unused]] void noteAllocation() noexcept
    {
        if (armed)
            ++allocationCount;
    }
}

namespace vo::test
{

AudioThreadGuard::AudioThreadGuard()
{
    allocationCount = 0;
    lockCount = 0;
    armed = true;
}

AudioThreadGuard::~AudioThreadGuard()
{
    armed = false;
}

size_t AudioThreadGuard::allocations() const { return allocationCount; }
size_t AudioThreadGuard::locks() const { return lockCount; }

bool AudioThreadGuard::countsMallocAndLocks()
{
#if defined(ZEL_TEST_SANITIZED)
    return false;
#else
    return true;
#endif
}

} // namespace vo::test

// operator new in all its forms, aligned ones included, is counted here.
// ThreadSanitizer defines them itself and cannot share, so its builds count
// nothing; the allocation proofs run in the other builds.
#if ! defined(ZEL_TEST_THREAD_SANITIZED)
void* operator new (std::size_t size)
{
    noteAllocation();
    if (void* p = std::malloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* operator new[] (std::size_t size)
{
    return operator new (size);
}

void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    noteAllocation();
    return std::malloc (size == 0 ? 1 : size);
}

void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    return operator new (size, std::nothrow);
}

void* operator new (std::size_t size, std::align_val_t alignment)
{
    noteAllocation();
    const auto a = (std::size_t) alignment;
    if (void* p = std::aligned_alloc (a, (size + a - 1) / a * a))
        return p;
    throw std::bad_alloc();
}

void* operator new[] (std::size_t size, std::align_val_t alignment)
{
    return operator new (size, alignment);
}

void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }
void operator delete (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }
#endif

#if ! defined(ZEL_TEST_SANITIZED)
// Interpose the C allocator and the mutex lock so that C-level allocations
// and locks taken by library code on the audio thread are caught as well.
extern "C"
{
    extern void* __libc_malloc (size_t);
    extern void* __libc_calloc (size_t, size_t);
    extern void* __libc_realloc (void*, size_t);

    void* malloc (size_t size)
    {
        noteAllocation();
        return __libc_malloc (size);
    }

    void* calloc (size_t count, size_t size)
    {
        noteAllocation();
        return __libc_calloc (count, size);
    }

    void* realloc (void* p, size_t size)
    {
        noteAllocation();
        return __libc_realloc (p, size);
    }

    using LockFn = int (*) (pthread_mutex_t*);
    static LockFn nextMutexLock = nullptr;

    int pthread_mutex_lock (pthread_mutex_t* mutex)
    {
        if (nextMutexLock == nullptr)
            nextMutexLock = reinterpret_cast<LockFn> (dlsym (RTLD_NEXT, "pthread_mutex_lock"));
        if (armed)
            ++lockCount;
        return nextMutexLock (mutex);
    }
}
#endif
