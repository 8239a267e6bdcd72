// Proves the audio-thread operations allocate nothing once prepared: the global
// allocation functions are replaced by counting ones for this test program.

#include "CarveEngine.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Plain malloc is counted too where the sanitizers do not own it (glibc has no
// malloc hooks any more, so the calls are forwarded to its internal entries).
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
 #define ZEL_ENGINE_TEST_SANITIZED 1
#elif defined(__has_feature)
 #if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
  #define ZEL_ENGINE_TEST_SANITIZED 1
 #endif
#endif

#if ! defined(ZEL_ENGINE_TEST_SANITIZED) && defined(__GLIBC__)
extern "C"
{
    void* __libc_malloc (std::size_t);
    void* __libc_calloc (std::size_t, std::size_t);
    void* __libc_realloc (void*, std::size_t);
}

namespace
{
void noteAllocation() noexcept;
void* rawMalloc (std::size_t size) noexcept { return __libc_malloc (size); }
} // namespace

extern "C"
{
    void* malloc (std::size_t size)
    {
        noteAllocation();
        return __libc_malloc (size);
    }

    void* calloc (std::size_t n, std::size_t size)
    {
        noteAllocation();
        return __libc_calloc (n, size);
    }

    void* realloc (void* p, std::size_t size)
    {
        noteAllocation();
        return __libc_realloc (p, size);
    }
}
#define ZEL_COUNTS_MALLOC 1
#else
namespace
{
void* rawMalloc (std::size_t size) noexcept { return std::malloc (size); }
} // namespace
#endif


namespace
{
std::atomic<bool> counting { false };
std::atomic<long> allocations { 0 };

void noteAllocation() noexcept
{
    if (counting.load (std::memory_order_relaxed))
        allocations.fetch_add (1, std::memory_order_relaxed);
}

void* allocate (std::size_t size)
{
    noteAllocation();
    if (void* p = rawMalloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    noteAllocation();
    const auto a = (std::size_t) alignment;
    if (void* p = std::aligned_alloc (a, (size + a - 1) / a * a))
        return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new (std::size_t size) { return allocate (size); }
void* operator new[] (std::size_t size) { return allocate (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept { noteAllocation(); return rawMalloc (size == 0 ? 1 : size); }
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept { noteAllocation(); return rawMalloc (size == 0 ? 1 : size); }
void* operator new (std::size_t size, std::align_val_t a) { return allocateAligned (size, a); }
void* operator new[] (std::size_t size, std::align_val_t a) { return allocateAligned (size, a); }
void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }
void operator delete (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }


namespace vo::plugins::zel
{
namespace
{

using test::AudioBuffer;

class Counting
{
public:
    Counting() { allocations = 0; counting = true; }
    ~Counting() { counting = false; }
    long count() const { return allocations.load(); }
};

TEST (AudioThreadAllocation, TheCountersSeeAllocations)
{
    long seen = 0;
    {
        Counting c;
        auto* p = new int (3);
        delete p;
#ifdef ZEL_COUNTS_MALLOC
        void* q = std::malloc (16);
        std::free (q);
#endif
        seen = c.count();
    }
#ifdef ZEL_COUNTS_MALLOC
    EXPECT_EQ (seen, 2);
#else
    EXPECT_EQ (seen, 1);
#endif
}

// Every block size and rate, with settings that touch every stage: mode and pan
// changes, range changes, freeze, audition fades, curve loads, display reads,
// a bad block and both sidechain layouts.
TEST (AudioThreadAllocation, ProcessAndSetSettingsAllocateNothingAfterPrepare)
{
    const int blockSizes[] = { 1, 2, 7, 31, 32, 33, 45, 64, 100, 511, 512, 1024, 4096 };
    const double rates[] = { 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 };

    for (double rate : rates)
    {
        for (int blockSize : blockSizes)
        {
            CarveEngine engine;
            engine.prepare (rate, blockSize);

            const int total = std::max (4 * 2048 + 64, 4 * blockSize);
            AudioBuffer main (3, total), sidechain (2, total);
            test::fillNoise (main.channel (0), total, 0.5f, 1);
            test::fillNoise (main.channel (1), total, 0.5f, 2);
            test::fillNoise (sidechain.channel (0), total, 0.8f, 3);
            test::fillNoise (sidechain.channel (1), total, 0.8f, 4);
            main[0][(size_t) total / 2] = std::numeric_limits<float>::quiet_NaN();

            std::array<float, kBandCount> curve {};
            curve.fill (-6.0f);
            DisplayFrame frame;

            long seen = 0;
            {
                Counting c;
                int block = 0;
                for (int offset = 0; offset < total; offset += blockSize, ++block)
                {
                    EngineSettings s = test::carveSettings (1.0f, 0.3f);
                    s.mode = (block / 7) % 2;
                    s.pan = (float) ((block / 5) % 3 - 1) * 0.5f;
                    s.lowCut = (block / 11) % 2 == 0 ? 20.0f : 2.0f;
                    s.highCut = (block / 13) % 2 == 0 ? 20000.0f : 3000.0f;
                    s.freeze = (block / 17) % 2 == 1;
                    s.scAudition = (block / 3) % 4 == 1;
                    s.attack = (block / 19) % 2 == 0 ? 10.0f : 1.0f;
                    engine.setSettings (s);

                    if (block % 23 == 5)
                        engine.loadCutCurve (curve.data());
                    curve = engine.getCutCurve();

                    const int n = std::min (blockSize, total - offset);
                    float* m[3] = { main.channel (0) + offset, main.channel (1) + offset, main.channel (2) + offset };
                    float* sc[2] = { sidechain.channel (0) + offset, sidechain.channel (1) + offset };
                    const int scChannels = (block / 29) % 3; // none, mono, stereo
                    engine.process (m, 3, scChannels > 0 ? sc : nullptr, scChannels, n);
                    engine.readDisplayFrame (frame);
                }
                seen = c.count();
            }
            EXPECT_EQ (seen, 0) << "rate " << rate << ", block size " << blockSize;
        }
    }
}

} // namespace
} // namespace vo::plugins::zel
