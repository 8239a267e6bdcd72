#pragma once

#include <cstdint>
#include <string>

// The few operating-system services the product needs, one implementation per
// OS. Everything else in the tree is portable.
namespace vo::platform
{

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

} // namespace vo::platform
