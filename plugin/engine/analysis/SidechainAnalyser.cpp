#include "analysis/SidechainAnalyser.h"

#include "FloatQuad.h"
#include "SampleRange.h"

#include <juce_dsp/juce_dsp.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vo::plugins::zel
{

namespace
{
    constexpr double kReferenceRate = 48000.0;
    constexpr float kLowestHz = 20.0f;
    constexpr float kHighestHz = 20000.0f;

    // One-pole high-pass at about 5 Hz: R = 1 - 2*pi*5/fs.
    constexpr double kDcBlockerRadians = 10.0 * std::numbers::pi;

    // A Hann-windowed sine spreads 3N^2/32 times its squared amplitude over the
    // positive bins, so this scale reads a full-scale sine as 0 dB.
    float levelScale (int fftSize, int channels) noexcept
    {
        return 16.0f / (1.5f * (float) fftSize * (float) fftSize) / (float) channels;
    }

    // Four bins or samples side by side.
    using quad::kLanes;
    using quad::load;
    using quad::Quad;
    using quad::store;
    static_assert (kBandCount % kLanes == 0);

    std::vector<float> hannWindow (int n)
    {
        std::vector<float> w ((size_t) n);
        const float twoPi = 2.0f * std::numbers::pi_v<float>;
        for (int i = 0; i < n; ++i)
            w[(size_t) i] = 0.5f - 0.5f * std::cos (twoPi * (float) i / (float) (n - 1));
        return w;
    }
} // namespace

SidechainAnalyser::SidechainAnalyser()
{
    for (int o = kMinOrder; o <= kMaxOrder; ++o)
    {
        ffts[(size_t) (o - kMinOrder)] = std::make_unique<juce::dsp::FFT> (o);
        windows[(size_t) (o - kMinOrder)] = hannWindow (1 << o);
    }

    for (auto& r : ring)
        r.assign ((size_t) kMaxFftSize, 0.0f);

    work.assign ((size_t) kMaxFftSize, {});
    scratch.assign ((size_t) kMaxFftSize, {});
    prepare (kReferenceRate);
}

SidechainAnalyser::~SidechainAnalyser() = default;

void SidechainAnalyser::prepare (double newSampleRate)
{
    sampleRate = newSampleRate > 1.0 ? newSampleRate : kReferenceRate;

    // Keep the bin spacing near 23 Hz whatever the rate, up to the largest FFT.
    const long octavesAbove = std::clamp (std::lround (std::log2 (sampleRate / kReferenceRate)), 0L, 2L);
    order = kMinOrder + (int) octavesAbove;
    fftSize = 1 << order;
    hop = fftSize / 4;

    dcCoeff = (float) (1.0 - kDcBlockerRadians / sampleRate);
    buildBandMap();
    reset();
}

void SidechainAnalyser::buildBandMap()
{
    firstBin.fill (0);
    binCount.fill (0);

    const float bandsPerLog = 32.0f / std::log (1000.0f);
    for (int i = 1; i < fftSize / 2; ++i)
    {
        const auto f = (float) ((double) i * sampleRate / (double) fftSize);
        if (f < kLowestHz || f >= kHighestHz)
            continue;

        const int b = std::clamp ((int) std::floor (std::log (f / kLowestHz) * bandsPerLog), 0, kBandCount - 1);
        if (binCount[(size_t) b] == 0)
            firstBin[(size_t) b] = i;
        ++binCount[(size_t) b];
    }
}

void SidechainAnalyser::reset() noexcept
{
    for (auto& r : ring)
        std::fill (r.begin(), r.end(), 0.0f);

    levels.fill (kFloorDb);
    writePos = 0;
    hopCounter = 0;
    stereo = false;
    dcPrevIn.fill (0.0f);
    dcPrevOut.fill (0.0f);
}

float SidechainAnalyser::dcBlock (float x, int channel) noexcept
{
    const auto c = (size_t) channel;
    const float y = x - dcPrevIn[c] + dcCoeff * dcPrevOut[c];

    // A runaway or NaN sample restarts the blocker from rest so that no
    // analysis ever sees a non-finite value.
    if (std::abs (y) <= 1e30f)
    {
        dcPrevIn[c] = x;
        dcPrevOut[c] = y;
        return y;
    }

    dcPrevIn[c] = 0.0f;
    dcPrevOut[c] = 0.0f;
    return 0.0f;
}

// dcBlock over a run of samples, its state in locals so that the ring stores
// cannot make the compiler reload it on every sample.
void SidechainAnalyser::blockDc (const float* x, float* dest, int n, int channel) noexcept
{
    const auto c = (size_t) channel;
    float prevIn = dcPrevIn[c], prevOut = dcPrevOut[c];

    for (int i = 0; i < n; ++i)
    {
        const float y = x[i] - prevIn + dcCoeff * prevOut;
        if (std::abs (y) <= 1e30f)
        {
            prevIn = x[i];
            prevOut = y;
            dest[i] = y;
        }
        else
        {
            prevIn = 0.0f;
            prevOut = 0.0f;
            dest[i] = 0.0f;
        }
    }

    dcPrevIn[c] = prevIn;
    dcPrevOut[c] = prevOut;
}

// blockDc on both channels at once: two independent recursions side by side
// keep the core busy while each waits for its previous sample, which is all
// the time a sample takes (a multiply and an add, rounded one after the
// other, cannot be regrouped). The runaway check stays off the recursion and
// out of its loop: the block runs as if every sample were in range and, in
// the rare block where one was not, runs again sample by sample from the same
// starting state.
void SidechainAnalyser::blockDcPair (const float* x0, const float* x1, float* dest0, float* dest1, int n) noexcept
{
    const float coeff = dcCoeff;
    float in0 = dcPrevIn[0], out0 = dcPrevOut[0];
    float in1 = dcPrevIn[1], out1 = dcPrevOut[1];

    for (int i = 0; i < n; ++i)
    {
        out0 = x0[i] - in0 + coeff * out0;
        out1 = x1[i] - in1 + coeff * out1;
        in0 = x0[i];
        in1 = x1[i];
        dest0[i] = out0;
        dest1[i] = out1;
    }

    if (! anyBeyond (dest0, n, 1e30f) && ! anyBeyond (dest1, n, 1e30f))
    {
        dcPrevIn[0] = in0;
        dcPrevOut[0] = out0;
        dcPrevIn[1] = in1;
        dcPrevOut[1] = out1;
        return;
    }

    blockDc (x0, dest0, n, 0);
    blockDc (x1, dest1, n, 1);
}

bool SidechainAnalyser::pushSample (float x0, float x1) noexcept
{
    ring[0][(size_t) writePos] = dcBlock (x0, 0);
    if (stereo)
        ring[1][(size_t) writePos] = dcBlock (x1, 1);

    if (++writePos == fftSize)
        writePos = 0;
    if (++hopCounter < hop)
        return false;

    hopCounter = 0;
    analyse();
    return true;
}

bool SidechainAnalyser::pushBlock (const float* x0, const float* x1, int n) noexcept
{
    bool hopDone = false;

    while (n > 0)
    {
        // Up to the end of the hop, and not past the end of the ring.
        const int m = std::min ({ n, hop - hopCounter, fftSize - writePos });
        if (stereo && x1 != nullptr)
        {
            blockDcPair (x0, x1, ring[0].data() + writePos, ring[1].data() + writePos, m);
        }
        else
        {
            blockDc (x0, ring[0].data() + writePos, m, 0);
            if (stereo)
                for (int i = 0; i < m; ++i)
                    ring[1][(size_t) (writePos + i)] = dcBlock (0.0f, 1);
        }

        x0 += m;
        if (x1 != nullptr)
            x1 += m;
        n -= m;

        writePos += m;
        if (writePos == fftSize)
            writePos = 0;

        hopCounter += m;
        if (hopCounter >= hop)
        {
            hopCounter = 0;
            analyse();
            hopDone = true;
        }
    }

    return hopDone;
}

void SidechainAnalyser::analyse() noexcept
{
    energy.fill (0.0f);

    if (stereo)
        sumStereoEnergy();
    else
        sumMonoEnergy();

    energyToLevels();
    fillEmptyBands();
}

// Oldest sample first: the write position is also the oldest entry. Two
// straight runs instead of a modulo per sample: the oldest part of the ring
// first, then its start.
void SidechainAnalyser::copyWindowed (int channel, float* dest) const noexcept
{
    const float* window = windows[(size_t) (order - kMinOrder)].data();
    const float* r = ring[(size_t) channel].data();

    const int firstRun = fftSize - writePos;
    for (int i = 0; i < firstRun; ++i)
        dest[i] = r[writePos + i] * window[i];
    for (int i = firstRun; i < fftSize; ++i)
        dest[i] = r[i - firstRun] * window[i];
}

// copyWindowed for both channels into one complex buffer, the left channel
// as the real parts and the right as the imaginary ones.
void SidechainAnalyser::copyWindowedPair (float* dest) const noexcept
{
    const float* window = windows[(size_t) (order - kMinOrder)].data();
    const float* left = ring[0].data();
    const float* right = ring[1].data();

    const auto run = [&] (int from, int to, int ringOffset)
    {
        int i = from;
        for (; i + kLanes <= to; i += kLanes)
        {
            const Quad w = load (window + i);
            const Quad re = load (left + i + ringOffset) * w;
            const Quad im = load (right + i + ringOffset) * w;
            store (dest + 2 * i, __builtin_shufflevector (re, im, 0, 4, 1, 5));
            store (dest + 2 * i + kLanes, __builtin_shufflevector (re, im, 2, 6, 3, 7));
        }
        for (; i < to; ++i)
        {
            dest[2 * i] = left[i + ringOffset] * window[i];
            dest[2 * i + 1] = right[i + ringOffset] * window[i];
        }
    };

    const int firstRun = fftSize - writePos;
    run (0, firstRun, writePos);
    run (firstRun, fftSize, -firstRun);
}

// The bins every band reads, lowest first and past the last.
std::pair<int, int> SidechainAnalyser::binRange() const noexcept
{
    int low = fftSize, high = 0;
    for (int b = 0; b < kBandCount; ++b)
    {
        if (binCount[(size_t) b] == 0)
            continue;
        low = std::min (low, firstBin[(size_t) b]);
        high = std::max (high, firstBin[(size_t) b] + binCount[(size_t) b]);
    }
    return { low, std::max (low, high) };
}

// Each band's bin powers, summed one after another from its lowest bin: the
// per-bin work before this is free of any order and runs four bins at a time.
// Four bands are summed side by side, as four independent chains, for as
// many bins as all four have; each then finishes on its own.
void SidechainAnalyser::sumBandPowers (const float* power) noexcept
{
    for (int b = 0; b < kBandCount; b += kLanes)
    {
        std::array<const float*, kLanes> bins;
        std::array<float, kLanes> e;
        int common = fftSize;
        for (int k = 0; k < kLanes; ++k)
        {
            bins[(size_t) k] = power + firstBin[(size_t) (b + k)];
            e[(size_t) k] = energy[(size_t) (b + k)];
            common = std::min (common, binCount[(size_t) (b + k)]);
        }

        for (int i = 0; i < common; ++i)
            for (size_t k = 0; k < kLanes; ++k)
                e[k] += bins[k][i];

        for (int k = 0; k < kLanes; ++k)
        {
            const auto band = (size_t) (b + k);
            for (int i = common; i < binCount[band]; ++i)
                e[(size_t) k] += bins[(size_t) k][i];
            energy[band] = e[(size_t) k];
        }
    }
}

void SidechainAnalyser::sumMonoEnergy() noexcept
{
    auto* data = reinterpret_cast<float*> (work.data());
    copyWindowed (0, data);
    std::fill (data + fftSize, data + 2 * fftSize, 0.0f);

    ffts[(size_t) (order - kMinOrder)]->performRealOnlyForwardTransform (data, true);

    // The powers overwrite the spectrum from its start: power i lands on a
    // part of bin i / 2, which has been read by then.
    const auto [low, high] = binRange();
    float* power = data;
    for (int i = low; i < high; ++i)
    {
        const float m = std::hypot (data[2 * i], data[2 * i + 1]);
        power[i] = m * m;
    }

    sumBandPowers (power);
}

// Both channels go through one complex FFT (left real, right imaginary); the
// two spectra are separated again through the conjugate symmetry of real input.
void SidechainAnalyser::sumStereoEnergy() noexcept
{
    auto* z = reinterpret_cast<float*> (work.data());
    copyWindowedPair (z);

    ffts[(size_t) (order - kMinOrder)]->perform (work.data(), scratch.data(), false);

    // Bin i pairs with bin fftSize - i; the powers go to the now unused input.
    const auto* spectrum = reinterpret_cast<const float*> (scratch.data());
    float* power = z;
    const auto [low, high] = binRange();

    // The power of bin i in each channel, summed: the same operations on a
    // float or on four lanes.
    const auto binPower = [] (auto a, auto bi, auto c, auto d)
    {
        const auto p = (bi - d) / 2.0f, q = (a + c) / 2.0f, r = (bi + d) / 2.0f, s = (c - a) / 2.0f;
        return p * p + q * q + r * r + s * s;
    };

    int i = low;
    for (; i + kLanes <= high; i += kLanes)
    {
        // Bins i ... i + 3 upwards, and their partners fftSize - i ... downwards.
        const Quad up0 = load (spectrum + 2 * i), up1 = load (spectrum + 2 * i + kLanes);
        const float* mirror = spectrum + 2 * (fftSize - i - (kLanes - 1));
        const Quad down0 = load (mirror), down1 = load (mirror + kLanes);

        const Quad a = __builtin_shufflevector (up0, up1, 0, 2, 4, 6);
        const Quad bi = __builtin_shufflevector (up0, up1, 1, 3, 5, 7);
        const Quad c = __builtin_shufflevector (down0, down1, 6, 4, 2, 0);
        const Quad d = __builtin_shufflevector (down0, down1, 7, 5, 3, 1);
        store (power + i, binPower (a, bi, c, d));
    }

    for (; i < high; ++i)
    {
        const int n = fftSize - i;
        power[i] = binPower (spectrum[2 * i], spectrum[2 * i + 1], spectrum[2 * n], spectrum[2 * n + 1]);
    }

    sumBandPowers (power);
}

void SidechainAnalyser::energyToLevels() noexcept
{
    const float scale = levelScale (fftSize, stereo ? 2 : 1);
    for (int b = 0; b < kBandCount; ++b)
    {
        if (binCount[(size_t) b] == 0)
            continue;

        const float level = 10.0f * std::log10 (scale * energy[(size_t) b] + 1e-10f);
        levels[(size_t) b] = level > kFloorDb ? std::min (level, kCeilingDb) : kFloorDb;
    }
}

// Bands narrower than the bin spacing take a straight line between the nearest
// measured bands, and the ends take the outermost measured level.
void SidechainAnalyser::fillEmptyBands() noexcept
{
    int first = -1, last = -1;
    for (int b = 0; b < kBandCount; ++b)
    {
        if (binCount[(size_t) b] == 0)
            continue;
        if (first < 0)
            first = b;
        last = b;
    }

    if (first < 0)
    {
        levels.fill (kFloorDb);
        return;
    }

    for (int b = 0; b < first; ++b)
        levels[(size_t) b] = levels[(size_t) first];
    for (int b = last + 1; b < kBandCount; ++b)
        levels[(size_t) b] = levels[(size_t) last];

    int p = first;
    for (int q = first + 1; q <= last; ++q)
    {
        if (binCount[(size_t) q] == 0)
            continue;

        const float lp = levels[(size_t) p], lq = levels[(size_t) q];
        for (int t = 1; t < q - p; ++t)
            levels[(size_t) (p + t)] = lp + (lq - lp) * (float) t / (float) (q - p);
        p = q;
    }
}

} // namespace vo::plugins::zel
