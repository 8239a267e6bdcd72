#pragma once

namespace vo::plugins::zel
{

// juce::dsp::FFT plans FFTW for buffers of any alignment, and that keeps
// FFTW off its vector code: the analyser's transform then takes four to five
// times as long as it needs to. Where FFTW is linked in, the link step routes
// the framework's calls that plan, run and destroy transforms through this
// class. Each plan made for unaligned buffers gets an aligned twin, and a
// transform whose buffers FFTW counts as aligned (16 bytes, which operator
// new and malloc always give) runs on the twin. Every other call goes on to
// the framework's own plan unchanged, so nothing can get slower or unsafe.
class AlignedFftwPlans
{
public:
    // How many twins are alive now.
    static int getTwinCount() noexcept;
};

} // namespace vo::plugins::zel
