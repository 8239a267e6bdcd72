#include "analysis/AlignedFftwPlans.h"

#include <fftw3.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <mutex>

// The linker renames the framework's references to these functions to
// __wrap_*, and our calls to __real_* reach FFTW itself.
extern "C"
{
fftwf_plan __real_fftwf_plan_dft_1d (int n, fftwf_complex* in, fftwf_complex* out, int sign, unsigned flags);
fftwf_plan __real_fftwf_plan_dft_r2c_1d (int n, float* in, fftwf_complex* out, unsigned flags);
void __real_fftwf_execute_dft (fftwf_plan plan, fftwf_complex* in, fftwf_complex* out);
void __real_fftwf_execute_dft_r2c (fftwf_plan plan, float* in, fftwf_complex* out);
void __real_fftwf_destroy_plan (fftwf_plan plan);

fftwf_plan __wrap_fftwf_plan_dft_1d (int n, fftwf_complex* in, fftwf_complex* out, int sign, unsigned flags);
fftwf_plan __wrap_fftwf_plan_dft_r2c_1d (int n, float* in, fftwf_complex* out, unsigned flags);
void __wrap_fftwf_execute_dft (fftwf_plan plan, fftwf_complex* in, fftwf_complex* out);
void __wrap_fftwf_execute_dft_r2c (fftwf_plan plan, float* in, fftwf_complex* out);
void __wrap_fftwf_destroy_plan (fftwf_plan plan);
}

namespace
{

// A dozen plug-in instances hold a few dozen plans; beyond this many, plans
// simply run without a twin.
constexpr std::size_t kMaxTwins = 256;

struct Twin
{
    std::atomic<fftwf_plan> original { nullptr };
    std::atomic<fftwf_plan> aligned { nullptr };
    std::atomic<bool> inPlace { false };
};

// Plans are made and destroyed under the lock; transforms look their twin up
// without it, from any thread, so a slot is published by its `original`.
std::array<Twin, kMaxTwins> twins;
std::atomic<std::size_t> slotsInUse { 0 };
std::atomic<int> twinCount { 0 };
std::mutex tableLock;

bool isAligned (const void* p) noexcept
{
    return fftwf_alignment_of (static_cast<float*> (const_cast<void*> (p))) == 0;
}

// Plans a twin on FFTW's own aligned scratch arrays. The planner is told the
// same as the framework asked, less the promise of unaligned buffers; the
// scratch arrays are not needed once the plan exists, because transforms
// always run on the caller's buffers.
template <typename PlanOn>
void addTwin (fftwf_plan original, bool inPlace, std::size_t bytes, PlanOn&& planOn)
{
    const std::lock_guard<std::mutex> lock (tableLock);

    std::size_t slot = 0;
    const std::size_t used = slotsInUse.load (std::memory_order_relaxed);
    while (slot < used && twins[slot].original.load (std::memory_order_relaxed) != nullptr)
        ++slot;
    if (slot == kMaxTwins)
        return;

    void* in = fftwf_malloc (bytes);
    void* out = inPlace ? in : fftwf_malloc (bytes);
    fftwf_plan aligned = (in != nullptr && out != nullptr) ? planOn (in, out) : nullptr;
    if (out != in)
        fftwf_free (out);
    fftwf_free (in);
    if (aligned == nullptr)
        return;

    twins[slot].aligned.store (aligned, std::memory_order_relaxed);
    twins[slot].inPlace.store (inPlace, std::memory_order_relaxed);
    twins[slot].original.store (original, std::memory_order_release);
    if (slot == used)
        slotsInUse.store (used + 1, std::memory_order_release);
    twinCount.fetch_add (1, std::memory_order_relaxed);
}

// The plan to run: the twin when the buffers suit it (FFTW requires the same
// alignment and the same in-place-ness as at planning), otherwise the original.
fftwf_plan planFor (fftwf_plan original, const void* in, const void* out) noexcept
{
    const std::size_t used = slotsInUse.load (std::memory_order_acquire);
    for (std::size_t slot = 0; slot < used; ++slot)
    {
        if (twins[slot].original.load (std::memory_order_acquire) != original)
            continue;

        const bool suits = isAligned (in) && isAligned (out)
                        && (in == out) == twins[slot].inPlace.load (std::memory_order_relaxed);
        return suits ? twins[slot].aligned.load (std::memory_order_relaxed) : original;
    }
    return original;
}

fftwf_plan removeTwin (fftwf_plan original) noexcept
{
    const std::lock_guard<std::mutex> lock (tableLock);

    const std::size_t used = slotsInUse.load (std::memory_order_relaxed);
    for (std::size_t slot = 0; slot < used; ++slot)
    {
        if (twins[slot].original.load (std::memory_order_relaxed) != original)
            continue;

        twins[slot].original.store (nullptr, std::memory_order_release);
        twinCount.fetch_sub (1, std::memory_order_relaxed);
        return twins[slot].aligned.exchange (nullptr, std::memory_order_relaxed);
    }
    return nullptr;
}

unsigned alignedFlags (unsigned flags) noexcept
{
    return flags & ~static_cast<unsigned> (FFTW_UNALIGNED);
}

} // namespace

extern "C" fftwf_plan __wrap_fftwf_plan_dft_1d (int n, fftwf_complex* in, fftwf_complex* out, int sign, unsigned flags)
{
    fftwf_plan original = __real_fftwf_plan_dft_1d (n, in, out, sign, flags);
    if (original != nullptr && (flags & FFTW_UNALIGNED) != 0 && n > 0)
    {
        addTwin (original, in == out, sizeof (fftwf_complex) * static_cast<std::size_t> (n),
                 [&] (void* a, void* b)
                 {
                     return __real_fftwf_plan_dft_1d (n, static_cast<fftwf_complex*> (a), static_cast<fftwf_complex*> (b),
                                                      sign, alignedFlags (flags));
                 });
    }
    return original;
}

extern "C" fftwf_plan __wrap_fftwf_plan_dft_r2c_1d (int n, float* in, fftwf_complex* out, unsigned flags)
{
    fftwf_plan original = __real_fftwf_plan_dft_r2c_1d (n, in, out, flags);
    if (original != nullptr && (flags & FFTW_UNALIGNED) != 0 && n > 0)
    {
        // n / 2 + 1 complex outputs: room for the n real inputs as well.
        const auto bytes = sizeof (fftwf_complex) * (static_cast<std::size_t> (n) / 2 + 1);
        addTwin (original, static_cast<void*> (in) == static_cast<void*> (out), bytes,
                 [&] (void* a, void* b)
                 {
                     return __real_fftwf_plan_dft_r2c_1d (n, static_cast<float*> (a), static_cast<fftwf_complex*> (b),
                                                          alignedFlags (flags));
                 });
    }
    return original;
}

extern "C" void __wrap_fftwf_execute_dft (fftwf_plan plan, fftwf_complex* in, fftwf_complex* out)
{
    __real_fftwf_execute_dft (planFor (plan, in, out), in, out);
}

extern "C" void __wrap_fftwf_execute_dft_r2c (fftwf_plan plan, float* in, fftwf_complex* out)
{
    __real_fftwf_execute_dft_r2c (planFor (plan, in, out), in, out);
}

extern "C" void __wrap_fftwf_destroy_plan (fftwf_plan plan)
{
    if (fftwf_plan aligned = removeTwin (plan))
        __real_fftwf_destroy_plan (aligned);
    __real_fftwf_destroy_plan (plan);
}

namespace vo::plugins::zel
{

int AlignedFftwPlans::getTwinCount() noexcept
{
    return twinCount.load (std::memory_order_relaxed);
}

} // namespace vo::plugins::zel
