#pragma once

namespace vo::plugins::zel
{

// The engine, the stored freeze curve and the display all index the spectrum
// by these 32 logarithmic bands between 20 Hz and 20 kHz.
inline constexpr int kBandCount = 32;

// Every bell shares this quality; it is kept as the float literal so that the
// widened double matches what the designs were tuned with.
inline constexpr float kBellQ = 4.62f;

// Cuts never go deeper than this; the overlap table covers 0 ... this depth.
inline constexpr float kMaxCutDb = 30.0f;

// Bell centres are kept inside this range so tan() stays well-conditioned
// near DC and Nyquist.
inline constexpr double kMinBellCentreHz = 5.0;
inline constexpr double kMaxBellCentreFraction = 0.49;

// Centre of a band, always evaluated in single precision so that every stage
// (and the editor) gets bit-identical centres.
float bandCentreHz (int band) noexcept;

// The band's centre as the bank designs its bell at this sample rate.
double bellCentreHz (int band, double sampleRate) noexcept;

// Magnitude in dB at freqHz of one digital bell centred on centreHz.
double bandResponseDb (double sampleRate, double centreHz, double gainDb, double freqHz) noexcept;

} // namespace vo::plugins::zel
