#pragma once

#include "bells/BellBank.h"
#include "CarveEngine.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#if defined(__SSE2__)
 #include <xmmintrin.h>
#endif

namespace vo::test
{
using namespace vo::plugins::zel;

// Every bell kernel this CPU runs, the plain chain first.
inline std::vector<BellKernel> availableKernels()
{
    std::vector<BellKernel> kernels;
    for (auto kernel : { BellKernel::scalar, BellKernel::sse2, BellKernel::avx2, BellKernel::avx512 })
        if (isKernelAvailable (kernel))
            kernels.push_back (kernel);
    return kernels;
}

// Flushes subnormals the way the audio thread runs, restoring the mode after.
class FlushedDenormals
{
public:
    FlushedDenormals()
    {
#if defined(__SSE2__)
        saved = _mm_getcsr();
        _mm_setcsr (saved | 0x8040);
#endif
    }

    ~FlushedDenormals()
    {
#if defined(__SSE2__)
        _mm_setcsr (saved);
#endif
    }

    FlushedDenormals (const FlushedDenormals&) = delete;
    FlushedDenormals& operator= (const FlushedDenormals&) = delete;

private:
    unsigned int saved = 0;
};

// A few channels of audio with the pointer array the engine takes.
class AudioBuffer
{
public:
    AudioBuffer (int numChannels, int numSamples)
        : data ((size_t) numChannels, std::vector<float> ((size_t) numSamples, 0.0f))
    {
        for (auto& ch : data)
            pointers.push_back (ch.data());
    }

    float* const* channels() noexcept { return pointers.data(); }
    float* channel (int c) noexcept { return data[(size_t) c].data(); }
    std::vector<float>& operator[] (int c) noexcept { return data[(size_t) c]; }
    int numChannels() const noexcept { return (int) data.size(); }
    int numSamples() const noexcept { return data.empty() ? 0 : (int) data[0].size(); }

    // Pointers into the block starting at `offset`.
    std::vector<float*> at (int offset)
    {
        std::vector<float*> p;
        for (auto& ch : data)
            p.push_back (ch.data() + offset);
        return p;
    }

private:
    std::vector<std::vector<float>> data;
    std::vector<float*> pointers;
};

inline void fillSine (float* dest, int n, double freqHz, double sampleRate, float amplitude = 1.0f, int startIndex = 0)
{
    for (int i = 0; i < n; ++i)
        dest[i] = amplitude * (float) std::sin (2.0 * std::numbers::pi * freqHz * (double) (startIndex + i) / sampleRate);
}

inline void fillNoise (float* dest, int n, float amplitude, std::uint32_t seed)
{
    std::mt19937 rng (seed);
    std::uniform_real_distribution<float> dist (-amplitude, amplitude);
    for (int i = 0; i < n; ++i)
        dest[i] = dist (rng);
}

inline double rmsDb (const float* x, int n)
{
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += (double) x[i] * (double) x[i];
    return 10.0 * std::log10 (sum / (double) n + 1e-30);
}

// Runs the whole buffers through the engine in blocks of `blockSize`; a null
// sidechain means no sidechain bus.
inline void processInBlocks (CarveEngine& engine, AudioBuffer& main, AudioBuffer* sidechain, int blockSize)
{
    const int total = main.numSamples();
    for (int offset = 0; offset < total; offset += blockSize)
    {
        const int n = std::min (blockSize, total - offset);
        auto m = main.at (offset);
        if (sidechain != nullptr)
        {
            auto s = sidechain->at (offset);
            engine.process (m.data(), (int) m.size(), s.data(), (int) s.size(), n);
        }
        else
        {
            engine.process (m.data(), (int) m.size(), nullptr, 0, n);
        }
    }
}

inline EngineSettings carveSettings (float amount = 1.0f, float smooth = 0.0f)
{
    EngineSettings s;
    s.amount = amount;
    s.smooth = smooth;
    return s;
}

} // namespace vo::test
