// Cost of the carving engine alone: stereo main, stereo sidechain.
//
// steady:     a stationary sidechain whose cut has settled (then frozen), so
//             the bells hold still and only the analysis and filters run;
// worstCase:  every band's level jumps every analysis hop with very short
//             attack/release, so the followed cut moves every tick and all
//             64 bells ramp their coefficients on every tick.
//
// bank 0 runs the bells as the plain chain (the reference's way, the "before"),
// bank 1 as the fastest wavefront kernel this CPU has (what the engine uses);
// bank 2 and 3 force the AVX2 and SSE2 kernels.
//
// Each case runs for --benchmark_min_time (half a second unless given); on a
// shared machine take the minimum of several runs.

#include "CarveEngine.h"
#include "cut/OverlapCompensator.h"
#include "reference/EngineProbe.h"
#include "reference/ReferenceBellBank.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#if defined(__SSE__)
 #include <xmmintrin.h>
#endif

namespace
{
using vo::plugins::zel::BellKernel;
using vo::plugins::zel::BellBank;
using vo::plugins::zel::CarveEngine;
using vo::plugins::zel::EngineProbe;
using vo::plugins::zel::fastestKernel;
using vo::plugins::zel::isKernelAvailable;
using vo::plugins::zel::nameOfKernel;
using vo::plugins::zel::EngineSettings;
using vo::plugins::zel::kBandCount;

constexpr int kSignalLength = 1 << 17;
constexpr double kRates[] = { 44100.0, 48000.0, 96000.0 };

// The processor frame runs the engine with denormals flushed; so do we.
void flushDenormals()
{
#if defined(__SSE__)
    _mm_setcsr (_mm_getcsr() | 0x8040);
#endif
}

struct Signals
{
    std::vector<float> main[2];
    std::vector<float> sidechain[2];
};

Signals makeSignals (double rate, bool worstCase, int hop)
{
    Signals s;
    std::mt19937 rng (1234);
    std::uniform_real_distribution<float> noise (-0.3f, 0.3f);
    std::uniform_real_distribution<float> levelDb (-20.0f, 0.0f);

    for (auto& ch : s.main)
    {
        ch.resize (kSignalLength);
        for (auto& x : ch)
            x = noise (rng);
    }

    std::vector<double> freqs;
    for (int b = 0; b < kBandCount; ++b)
        freqs.push_back (std::min ((double) vo::plugins::zel::bandCentreHz (b), 0.45 * rate));

    std::vector<float> gains (kBandCount, 1.0f);
    for (int c = 0; c < 2; ++c)
    {
        auto& ch = s.sidechain[c];
        ch.assign (kSignalLength, 0.0f);
        for (int i = 0; i < kSignalLength; ++i)
        {
            if (worstCase && i % hop == 0)
                for (auto& g : gains)
                    g = std::pow (10.0f, levelDb (rng) / 20.0f);

            double sum = 0.0;
            for (int b = 0; b < kBandCount; ++b)
                sum += gains[(size_t) b] * std::sin (2.0 * std::numbers::pi * freqs[(size_t) b] * i / rate + c);
            ch[(size_t) i] = (float) (0.03 * sum);
        }
    }
    return s;
}

class Runner
{
public:
    Runner (double rate, int samplesPerBlock, bool worstCase, BellKernel kernel)
        : blockSize (samplesPerBlock), work { std::vector<float> ((size_t) blockSize), std::vector<float> ((size_t) blockSize) }
    {
        EngineProbe::cutBank (engine).getBells().setKernel (kernel);
        engine.prepare (rate, blockSize);
        signals = makeSignals (rate, worstCase, EngineProbe::analyser (engine).getHop());

        EngineSettings s;
        s.amount = 1.0f;
        s.smooth = 0.3f;
        if (worstCase)
            s.attack = s.release = 0.5f;
        engine.setSettings (s);

        // Two seconds to settle; the steady regime then freezes the cut.
        for (int n = 0; n < (int) (2.0 * rate); n += blockSize)
            runBlock();
        if (! worstCase)
        {
            s.freeze = true;
            engine.setSettings (s);
            for (int n = 0; n < (int) (0.5 * rate); n += blockSize)
                runBlock();
        }
    }

    void runBlock()
    {
        if (position + blockSize > kSignalLength)
            position = 0;

        for (int c = 0; c < 2; ++c)
            std::memcpy (work[c].data(), signals.main[c].data() + position, sizeof (float) * (size_t) blockSize);

        float* main[2] = { work[0].data(), work[1].data() };
        float* sidechain[2] = { signals.sidechain[0].data() + position, signals.sidechain[1].data() + position };
        engine.process (main, 2, sidechain, 2, blockSize);
        position += blockSize;
    }

    std::uint64_t rampsStarted() const { return EngineProbe::cutBank (engine).getBells().getRampsStarted(); }
    BellKernel kernel() const { return EngineProbe::cutBank (engine).getBells().getKernel(); }

private:
    CarveEngine engine;
    int blockSize;
    Signals signals;
    std::vector<float> work[2];
    int position = 0;
};

// The timed loop alone, out of line so that a profiler can be told to count
// only what runs inside it (valgrind --toggle-collect='*measure*'), not the
// settling before it.
__attribute__ ((noinline)) void measure (benchmark::State& state, Runner& runner)
{
    for (auto _ : state)
    {
        runner.runBlock();
        benchmark::ClobberMemory();
    }
}

void engineBench (benchmark::State& state)
{
    flushDenormals();
    const double rate = kRates[state.range (0)];
    const auto blockSize = (int) state.range (1);
    const bool worstCase = state.range (2) != 0;
    const BellKernel kernels[] = { BellKernel::scalar, fastestKernel(), BellKernel::avx2, BellKernel::sse2 };
    const BellKernel requested = kernels[state.range (3)];
    if (! isKernelAvailable (requested))
    {
        state.SkipWithError ("kernel not available on this CPU");
        return;
    }

    Runner runner (rate, blockSize, worstCase, requested);
    const auto rampsBefore = runner.rampsStarted();
    measure (state, runner);

    const auto frames = (double) state.iterations() * blockSize;
    state.counters["ns_per_frame"] = benchmark::Counter (frames * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter (frames / rate, benchmark::Counter::kIsRate);
    state.counters["ramps_per_tick"] = (double) (runner.rampsStarted() - rampsBefore) / (frames / 32.0);
    state.SetLabel (std::string (worstCase ? "worstCase" : "steady") + " " + std::to_string ((int) rate) + " Hz "
                    + nameOfKernel (runner.kernel()));
}

void allConfigurations (benchmark::internal::Benchmark* b)
{
    b->ArgNames ({ "rate", "block", "worst", "bank" });
    for (int bank : { 0, 1 })
        for (int worst : { 0, 1 })
            for (int r = 0; r < 3; ++r)
                for (int block : { 32, 512, 4096 })
                    b->Args ({ r, block, worst, bank });

    // The narrower kernels, for CPUs without AVX-512 or AVX2.
    for (int bank : { 2, 3 })
        for (int worst : { 0, 1 })
            b->Args ({ 1, 512, worst, bank });
}

BENCHMARK (engineBench)->Apply (allConfigurations);

// The bank alone, stereo: bank 0 is ReferenceBellBank, 1 the engine's bank
// with its best kernel, 2 AVX2, 3 SSE2, 4 its scalar chain; one tick per call,
// or with a 512-sample block's ticks queued, as the engine runs it.
template <typename Bank>
void runBank (benchmark::State& state, Bank& bank, bool ramping, bool queued = false)
{
    bank.prepareFilters (48000.0);

    std::mt19937 rng (99);
    std::uniform_real_distribution<float> depthDb (-30.0f, 0.0f);
    constexpr int kVariants = 16;
    std::vector<typename Bank::Amplitudes> amplitudes (kVariants);
    for (auto& a : amplitudes)
        for (auto& set : a)
            for (auto& amp : set)
                amp = std::pow (10.0f, depthDb (rng) / 40.0f);

    constexpr int kNoiseLength = 1 << 14;
    std::vector<float> noiseLeft (kNoiseLength), noiseRight (kNoiseLength), left (32), right (32);
    std::uniform_real_distribution<float> noise (-0.3f, 0.3f);
    for (int i = 0; i < kNoiseLength; ++i)
    {
        noiseLeft[(size_t) i] = noise (rng);
        noiseRight[(size_t) i] = noise (rng);
    }

    int tick = 0;
    bank.applyAmplitudes (amplitudes[0]);

    if constexpr (requires { bank.enqueue (nullptr, nullptr, 0, false, false); })
    {
        if (queued)
        {
            // As the engine runs it: ticks queue up and run as one wavefront
            // per 512-sample block.
            constexpr int kBlockTicks = 16;
            std::vector<float> blockLeft (32 * kBlockTicks), blockRight (32 * kBlockTicks);
            for (auto _ : state)
            {
                const auto offset = (size_t) ((tick * 32) % kNoiseLength);
                std::memcpy (blockLeft.data(), noiseLeft.data() + offset, sizeof (float) * blockLeft.size());
                std::memcpy (blockRight.data(), noiseRight.data() + offset, sizeof (float) * blockRight.size());
                for (int t = 0; t < kBlockTicks; ++t)
                {
                    ++tick;
                    bank.applyAmplitudes (amplitudes[ramping ? (size_t) (tick % kVariants) : 0]);
                    bank.enqueue (blockLeft.data() + 32 * t, blockRight.data() + 32 * t, 32, false, true);
                }
                bank.flush();
                benchmark::DoNotOptimize (blockLeft.data());
                benchmark::ClobberMemory();
            }

            const auto frames = (double) state.iterations() * 32.0 * kBlockTicks;
            state.counters["ns_per_frame"] = benchmark::Counter (frames * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
            return;
        }
    }

    for (auto _ : state)
    {
        const auto offset = (size_t) ((tick * 32) % kNoiseLength);
        std::memcpy (left.data(), noiseLeft.data() + offset, sizeof (float) * 32);
        std::memcpy (right.data(), noiseRight.data() + offset, sizeof (float) * 32);
        if (! ramping)
            ++tick;
        bank.applyAmplitudes (amplitudes[ramping ? (size_t) (++tick % kVariants) : 0]);
        bank.process (left.data(), right.data(), 32, false, true);
        benchmark::DoNotOptimize (left.data());
        benchmark::ClobberMemory();
    }

    const auto frames = (double) state.iterations() * 32.0;
    state.counters["ns_per_frame"] = benchmark::Counter (frames * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void bankBench (benchmark::State& state)
{
    flushDenormals();
    const bool ramping = state.range (1) != 0;
    const bool queued = state.range (2) != 0;
    if (state.range (0) == 0)
    {
        if (queued)
        {
            state.SkipWithError ("the reference runs tick by tick");
            return;
        }

        vo::plugins::zel::ReferenceBellBank bank;
        runBank (state, bank, ramping);
        state.SetLabel ("reference");
        return;
    }

    const BellKernel kernels[] = { BellKernel::scalar, fastestKernel(), BellKernel::avx2, BellKernel::sse2, BellKernel::scalar };
    const auto kernel = kernels[state.range (0)];
    if (! isKernelAvailable (kernel))
    {
        state.SkipWithError ("kernel not available on this CPU");
        return;
    }

    BellBank bank;
    bank.setKernel (kernel);
    runBank (state, bank, ramping, queued);
    state.SetLabel (std::string (nameOfKernel (bank.getKernel())) + (queued ? " queued" : ""));
}

// One overlap pass, as the cut bank runs it on every tick while the cut
// moves: the wanted cut drifts by a fraction of a dB from tick to tick and
// the gains carry over from the previous pass.
void overlapBench (benchmark::State& state)
{
    const auto kernel = state.range (0) == 0 ? BellKernel::scalar : BellKernel::avx512;
    if (! isKernelAvailable (kernel))
    {
        state.SkipWithError ("this CPU cannot run the kernel");
        return;
    }

    const auto& kernels = vo::plugins::zel::kernelsFor (kernel);
    vo::plugins::zel::OverlapCompensator overlap;
    overlap.prepare (48000.0);

    constexpr int kTicks = 4096;
    std::mt19937 rng (7);
    std::uniform_real_distribution<float> start (-24.0f, -3.0f);
    std::normal_distribution<float> drift (0.0f, 0.2f);
    std::vector<std::array<float, kBandCount>> wanted (kTicks);
    for (auto& w : wanted[0])
        w = start (rng);
    for (size_t t = 1; t < wanted.size(); ++t)
        for (size_t b = 0; b < (size_t) kBandCount; ++b)
            wanted[t][b] = std::clamp (wanted[t - 1][b] + drift (rng), -30.0f, -0.5f);

    std::array<float, kBandCount> gains {};
    size_t tick = 0;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize (overlap.compensate (kernels, wanted[tick], gains));
        tick = (tick + 1) % wanted.size();
    }
    state.counters["ns_per_pass"] = benchmark::Counter ((double) state.iterations() * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK (overlapBench)->ArgName ("avx512")->Arg (0)->Arg (1);

BENCHMARK (bankBench)->ArgNames ({ "bank", "ramping", "queued" })->ArgsProduct ({ { 0, 1, 2, 3, 4 }, { 0, 1 }, { 0, 1 } });

} // namespace

BENCHMARK_MAIN();
