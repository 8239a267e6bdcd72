#pragma once

#include <cstddef>

namespace vo::test
{

// Counts heap allocations and mutex locks made by the current thread while a
// guard is alive. Used to prove the audio path neither allocates nor locks.
class AudioThreadGuard
{
public:
    AudioThreadGuard();
    ~AudioThreadGuard();

    AudioThreadGuard (const AudioThreadGuard&) = delete;
    AudioThreadGuard& operator= (const AudioThreadGuard&) = delete;

    size_t allocations() const;
    size_t locks() const;

    // False in sanitizer builds, where the sanitizer owns malloc and locks.
    static bool countsMallocAndLocks();
};

} // namespace vo::test
