#include "BandLayout.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace vo::plugins::zel
{

float bandCentreHz (int band) noexcept
{
    return std::pow (1000.0f, ((float) band + 0.5f) * 0.03125f) * 20.0f;
}

double bellCentreHz (int band, double sampleRate) noexcept
{
    return std::clamp ((double) bandCentreHz (band), kMinBellCentreHz, kMaxBellCentreFraction * sampleRate);
}

double bandResponseDb (double sampleRate, double centreHz, double gainDb, double freqHz) noexcept
{
    if (gainDb == 0.0)
        return 0.0;

    const double amp = std::pow (10.0, gainDb / 40.0);
    const double k = 1.0 / ((double) kBellQ * amp);

    // Pre-warped frequency ratio of the bilinear transform.
    const double tf = std::tan (std::numbers::pi * std::clamp (freqHz, 0.0, 0.499 * sampleRate) / sampleRate);
    const double tc = std::tan (std::numbers::pi * centreHz / sampleRate);
    const double omega = tf / std::max (tc, 1e-9);

    const std::complex<double> z = std::complex<double> (0.0, omega)
                                   / std::complex<double> (1.0 - omega * omega, k * omega);
    const std::complex<double> h = 1.0 + (amp * amp - 1.0) * k * z;
    return 20.0 * std::log10 (std::max (std::abs (h), 1e-6));
}

} // namespace vo::plugins::zel
