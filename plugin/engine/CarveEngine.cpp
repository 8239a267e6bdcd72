#include "CarveEngine.h"

#include "SampleRange.h"

#include <algorithm>
#include <cmath>

namespace vo::plugins::zel
{

namespace
{
    constexpr double kDefaultSampleRate = 48000.0;
    constexpr int kDefaultBlockSize = 512;
    constexpr float kInputLimit = 1e30f;
    constexpr double kAuditionFadeSeconds = 0.01;
    constexpr float kMinAuditionCornerHz = 5.0f;
    constexpr float kAuditionQ = 0.7071f;
    constexpr float kDisplayGainStepDb = 0.05f;
    constexpr std::uint8_t kForcePublish = 255;
} // namespace

CarveEngine::CarveEngine()
{
    // Ready for 48 kHz and 512 samples even before the host prepares us.
    prepare (kDefaultSampleRate, kDefaultBlockSize);
}

void CarveEngine::prepare (double newSampleRate, int newMaxBlockSize)
{
    sampleRate = newSampleRate > 1.0 ? newSampleRate : kDefaultSampleRate;
    maxBlockSize = newMaxBlockSize > 0 ? newMaxBlockSize : 1;

    analyser.prepare (sampleRate);

    bank.prepareFilters (sampleRate);
    bank.prepareCut (sampleRate, analyser.getHop());
    bank.reset();

    scHighPass.setSampleRate (sampleRate);
    scLowPass.setSampleRate (sampleRate);
    lastLowCut = lastHighCut = -1.0f;
    updateAuditionFilters();

    // Storage is rounded up to whole vectors of four; it never shrinks.
    const auto storage = (size_t) ((maxBlockSize + 3) / 4 * 4);
    for (auto& channel : auditionBuffer)
        if (channel.size() < storage)
            channel.resize (storage);
    auditionFade.setRampLength ((int) std::floor (sampleRate * kAuditionFadeSeconds));

    // The serial runs on across prepare: the editor tells new frames from
    // old ones by it, and a restart would repeat serials it has already drawn.
    const auto serial = staging.serial;
    staging = DisplayFrame::initial (settings.lowCut, settings.highCut, (float) sampleRate);
    staging.serial = serial;

    analyser.reset();
    bank.reset();
    scHighPass.clearStates();
    scLowPass.clearStates();
    for (auto& channel : auditionBuffer)
        std::fill (channel.begin(), channel.end(), 0.0f);

    auditionFade.setCurrentAndTarget (settings.scAudition ? 1.0f : 0.0f);

    lastGains.fill (0.0f);
    lastStatus = kForcePublish;
    sidechainPresent = false;
    gridPhase = 0;
}

void CarveEngine::setSettings (const EngineSettings& s) noexcept
{
    settings = s;

    if (s.attack != bank.getAttackMs() || s.release != bank.getReleaseMs())
        bank.setAttackRelease (s.attack, s.release);

    bank.setAmount (s.amount);
    bank.setSmooth (s.smooth);

    if (s.lowCut != bank.getLowCutHz() || s.highCut != bank.getHighCutHz())
        bank.setRange (s.lowCut, s.highCut);

    bank.setPanAndMode (s.pan, s.mode);
    bank.setFrozen (s.freeze);
    auditionFade.setTarget (s.scAudition ? 1.0f : 0.0f);
}

void CarveEngine::process (float* const* main, int numMain, float* const* sidechain, int numSidechain, int numSamples) noexcept
{
    if (numSamples <= 0 || numMain <= 0 || main == nullptr || main[0] == nullptr)
        return;

    const int mc = (numMain >= 2 && main[1] != nullptr) ? 2 : 1;

    int sc = sidechain != nullptr ? std::min (numSidechain, 2) : 0;
    if (sc > 0 && sidechain[0] == nullptr)
        sc = 0;
    if (sc == 2 && sidechain[1] == nullptr)
        sc = 1;
    sidechainPresent = sc > 0;

    // Without a sidechain the plug-in listens to the track itself.
    const Source source = sc > 0 ? Source { sidechain[0], sc == 2 ? sidechain[1] : nullptr }
                                 : Source { main[0], mc == 2 ? main[1] : nullptr };

    bool bad = hasBadInput (main, mc, numSamples);

    const bool auditioning = auditionFade.getTarget() > 0.5f;
    const bool fading = auditioning || auditionFade.isRamping();

    updateAuditionFilters();
    fillAuditionBuffer (source, numSamples);

    // While the source is fully auditioned the carved track is not heard.
    const bool apply = ! (auditioning && ! auditionFade.isRamping());
    const bool newLevels = runGrid (main, mc, source, numSamples, apply);

    if (fading)
        mixAudition (main, mc, numSamples);

    bad = bad || hasBadOutput (main, mc, numSamples);
    if (bad)
        recoverFromBadBlock (main, mc, numSamples);

    publishDisplay (newLevels);
}

// Sub-blocks end on the 32-sample grid, so the bank's ticks fall on the same
// samples however the host sizes its blocks. Returns whether new levels arrived.
bool CarveEngine::runGrid (float* const* main, int mc, Source source, int numSamples, bool apply) noexcept
{
    bool anyNewLevels = false;
    analyser.setStereo (source.ch1 != nullptr);

    for (int offset = 0; offset < numSamples;)
    {
        const int w = std::min (numSamples - offset, kTickSamples - gridPhase);

        const bool hopDone = analyser.pushBlock (source.ch0 + offset, source.ch1 != nullptr ? source.ch1 + offset : nullptr, w);

        bank.queueBank (main[0] + offset, mc == 2 ? main[1] + offset : nullptr, mc, w, apply);

        // Levels from this sub-block take effect at the bank's next tick.
        if (hopDone)
        {
            bank.setLevels (analyser.getLevels());
            anyNewLevels = true;
        }

        gridPhase = (gridPhase + w) % kTickSamples;
        offset += w;
    }

    // The analysis above has read every source sample it needs, so the carving
    // may land in the main buffers now even when the source is the main input.
    bank.flushBank();
    return anyNewLevels;
}

bool CarveEngine::hasBadInput (float* const* main, int mc, int numSamples) noexcept
{
    bool bad = false;
    for (int ch = 0; ch < mc; ++ch)
        bad = anyBeyond (main[ch], numSamples, kInputLimit) || bad;
    return bad;
}

bool CarveEngine::hasBadOutput (float* const* main, int mc, int numSamples) noexcept
{
    for (int ch = 0; ch < mc; ++ch)
        if (! std::isfinite (main[ch][numSamples - 1]))
            return true;
    return false;
}

// The block is dropped to silence and the cut starts again from flat; a frozen
// cut is the user's deliberate setting, so it survives.
void CarveEngine::recoverFromBadBlock (float* const* main, int mc, int numSamples) noexcept
{
    const bool keepFrozen = bank.isFrozen();
    const auto frozenCut = bank.getHeld();

    bank.reset();
    if (keepFrozen)
        bank.loadCutCurve (frozenCut.data());

    scHighPass.clearStates();
    scLowPass.clearStates();
    gridPhase = 0;

    for (int ch = 0; ch < mc; ++ch)
        std::fill (main[ch], main[ch] + numSamples, 0.0f);
}

std::array<float, kBandCount> CarveEngine::getCutCurve() const noexcept
{
    return bank.getHeld();
}

void CarveEngine::loadCutCurve (const float* curve) noexcept
{
    if (curve != nullptr)
        bank.loadCutCurve (curve);
}

//==============================================================================
// Audition path

void CarveEngine::designAuditionFilter (SvfFilter& filter, int type, float cornerHz) noexcept
{
    const auto highest = (float) (0.49 * filter.getSampleRate());
    filter.setType (type);
    filter.setCutoff (cornerHz < kMinAuditionCornerHz ? kMinAuditionCornerHz : std::min (cornerHz, highest));
    filter.setQ (kAuditionQ);
    filter.design();
}

void CarveEngine::updateAuditionFilters() noexcept
{
    if (settings.lowCut != lastLowCut)
    {
        lastLowCut = settings.lowCut;
        designAuditionFilter (scHighPass, SvfFilter::highPass, settings.lowCut);
    }

    if (settings.highCut != lastHighCut)
    {
        lastHighCut = settings.highCut;
        designAuditionFilter (scLowPass, SvfFilter::lowPass, settings.highCut);
    }
}

// Runs on every block, audition or not, so switching audition on never starts
// from cold filter states. A mono source is heard on both channels.
void CarveEngine::fillAuditionBuffer (Source source, int numSamples) noexcept
{
    const int n = std::min (maxBlockSize, numSamples);
    auto& left = auditionBuffer[0];
    auto& right = auditionBuffer[1];

    SvfFilter::processCascade (scHighPass, scLowPass, source.ch0, source.ch1 != nullptr ? source.ch1 : source.ch0,
                               left.data(), right.data(), n);

    // A non-finite source sample would otherwise stay in these recursive states
    // until audition is next switched on; restart them instead.
    if (n > 0 && ! (std::isfinite (left[(size_t) (n - 1)]) && std::isfinite (right[(size_t) (n - 1)])))
    {
        scHighPass.clearStates();
        scLowPass.clearStates();
    }
}

void CarveEngine::mixAudition (float* const* main, int mc, int numSamples) noexcept
{
    const int n = std::min (maxBlockSize, numSamples);

    for (int i = 0; i < n; ++i)
    {
        const float v = auditionFade.getNext();
        for (int ch = 0; ch < mc; ++ch)
            main[ch][i] = (1.0f - v) * main[ch][i] + v * auditionBuffer[(size_t) ch][(size_t) i];
    }

    for (int i = n; i < numSamples; ++i)
        auditionFade.getNext();
}

//==============================================================================
// Display publication

std::uint8_t CarveEngine::currentStatus() const noexcept
{
    int status = 0;
    if (bank.isFrozen())
        status |= DisplayFrame::StatusFrozen;
    if (! sidechainPresent)
        status |= DisplayFrame::StatusNoSidechainBus;
    if (auditionFade.getTarget() > 0.5f)
        status |= DisplayFrame::StatusAuditioning;
    if (bank.isSilentAndFlat())
        status |= DisplayFrame::StatusNothingToCut;
    return (std::uint8_t) status;
}

// Publishes only when something visible changed, so the editor's copies stay
// at the rate of real changes.
void CarveEngine::publishDisplay (bool newLevels) noexcept
{
    bool changed = false;

    if (newLevels && analyser.getLevels() != staging.scLevels)
    {
        staging.scLevels = analyser.getLevels();
        changed = true;
    }

    const auto& gains = bank.getGains();
    for (int b = 0; b < kBandCount; ++b)
        if (std::abs (gains[(size_t) b] - lastGains[(size_t) b]) > kDisplayGainStepDb)
            changed = true;

    const std::uint8_t status = currentStatus();
    if (status == lastStatus && settings.lowCut == staging.lowCut && settings.highCut == staging.highCut && ! changed)
        return;

    staging.cut = bank.getFollowed();
    staging.bandGains = gains;
    ++staging.serial;
    staging.lowCut = settings.lowCut;
    staging.highCut = settings.highCut;
    staging.sampleRate = (float) sampleRate;
    staging.status = status;
    lastGains = gains;
    lastStatus = status;

    display.publish (staging);
}

void CarveEngine::readDisplayFrame (DisplayFrame& out) noexcept
{
    display.read (out);
}

} // namespace vo::plugins::zel
