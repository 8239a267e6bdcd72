#pragma once

#include <array>

namespace vo::plugins::zel
{

// Trapezoidal-integrated state-variable filter in single precision with a
// selectable response; the audition path uses its high- and low-pass.
class SvfFilter
{
public:
    enum Type
    {
        lowPass = 0,
        highPass = 1,
        bandPass = 2,
        notch = 3,
        allPass = 4,
        bell = 5,
        lowShelf = 6,
        highShelf = 7
    };

    static constexpr int kChannels = 2;

    void setSampleRate (double newSampleRate) noexcept;
    void setType (int newType) noexcept { type = newType; }
    void setCutoff (float hz) noexcept { cutoff = hz; }
    void setQ (float newQ) noexcept { q = newQ; }
    void setGainDb (float db) noexcept { gainDb = db; }
    void design() noexcept;

    float processSample (float x, int channel) noexcept;

    // first then second on both channels, the same arithmetic as processSample,
    // with the four states kept in registers for the block.
    static void processCascade (SvfFilter& first, SvfFilter& second, const float* x0, const float* x1,
                                float* y0, float* y1, int numSamples) noexcept;
    void clearStates() noexcept;

    double getSampleRate() const noexcept { return sampleRate; }
    float getCutoff() const noexcept { return cutoff; }

private:
    struct State
    {
        float ic1eq = 0.0f;
        float ic2eq = 0.0f;
    };

    std::array<State, kChannels> channelStates {};
    double sampleRate = 44100.0;
    int type = lowPass;
    float cutoff = 1000.0f;
    float q = 0.7071f;
    float gainDb = 0.0f;
    float a1 = 0.0f, a2 = 0.0f, a3 = 0.0f;
    float m0 = 0.0f, m1 = 0.0f, m2 = 1.0f;
    float k = 1.0f / 0.7071f;
};

} // namespace vo::plugins::zel
