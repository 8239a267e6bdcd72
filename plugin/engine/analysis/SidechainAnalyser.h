#pragma once

#include "BandLayout.h"

#include <cstddef>
#include <array>
#include <complex>
#include <memory>
#include <utility>
#include <vector>

namespace juce::dsp
{
class FFT;
}

namespace vo::plugins::zel
{

// Measures the source's level in each band: DC blocker, ring buffer, and every
// quarter FFT length a Hann-windowed FFT whose bin powers are summed per band.
class SidechainAnalyser
{
public:
    static constexpr int kMinOrder = 11;
    static constexpr int kMaxOrder = 13;
    static constexpr int kMaxFftSize = 1 << kMaxOrder;
    static constexpr float kFloorDb = -100.0f;
    static constexpr float kCeilingDb = 40.0f;

    SidechainAnalyser();
    ~SidechainAnalyser();
    SidechainAnalyser (const SidechainAnalyser&) = delete;
    SidechainAnalyser& operator= (const SidechainAnalyser&) = delete;

    void prepare (double newSampleRate);
    void reset() noexcept;

    void setStereo (bool shouldAnalyseBoth) noexcept { stereo = shouldAnalyseBoth; }

    // Returns true when this sample completed a hop and new levels are ready.
    bool pushSample (float x0, float x1) noexcept;

    // pushSample for n samples (x1 may be null when not stereo); returns true
    // when a hop completed, analysed at the very sample that completed it.
    bool pushBlock (const float* x0, const float* x1, int n) noexcept;
    void analyse() noexcept;

    const std::array<float, kBandCount>& getLevels() const noexcept { return levels; }

    int getFftSize() const noexcept { return fftSize; }
    int getHop() const noexcept { return hop; }
    int getFirstBin (int band) const noexcept { return firstBin[(size_t) band]; }
    int getBinCount (int band) const noexcept { return binCount[(size_t) band]; }

private:
    float dcBlock (float x, int channel) noexcept;
    void blockDc (const float* x, float* dest, int n, int channel) noexcept;
    void blockDcPair (const float* x0, const float* x1, float* dest0, float* dest1, int n) noexcept;
    void copyWindowed (int channel, float* dest) const noexcept;
    void copyWindowedPair (float* dest) const noexcept;
    std::pair<int, int> binRange() const noexcept;
    void sumBandPowers (const float* power) noexcept;
    void sumMonoEnergy() noexcept;
    void sumStereoEnergy() noexcept;
    void energyToLevels() noexcept;
    void fillEmptyBands() noexcept;
    void buildBandMap();

    std::array<std::unique_ptr<juce::dsp::FFT>, kMaxOrder - kMinOrder + 1> ffts;
    std::array<std::vector<float>, kMaxOrder - kMinOrder + 1> windows;
    std::array<std::vector<float>, 2> ring;
    std::array<float, 2> dcPrevIn {}, dcPrevOut {};
    float dcCoeff = 0.0f;
    int order = kMinOrder, fftSize = 1 << kMinOrder, hop = (1 << kMinOrder) / 4;
    int writePos = 0;
    int hopCounter = 0;
    bool stereo = false;
    double sampleRate = 48000.0;
    std::array<int, kBandCount> firstBin {}, binCount {};
    std::vector<std::complex<float>> work, scratch;
    std::array<float, kBandCount> energy {};
    std::array<float, kBandCount> levels {};
};

} // namespace vo::plugins::zel
