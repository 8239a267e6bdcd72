// The frozen cut travels with the project and with user presets: capture is
// written into the state, stored curves are installed on restore and preset
// load, a stored curve wins over a fresh capture, and every load switches
// sidechain audition off as one host gesture.

#include "core/MessagePump.h"
#include "plugin/CurveText.h"
#include "plugin/Processor.h"
#include "plugin/engine/CarveEngine.h"
#include "support/ProcessorAccess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vo::test
{
namespace
{
using vo::plugins::zel::CarveEngine;
using vo::plugins::zel::CurveText;
using vo::plugins::zel::DisplayFrame;
using vo::plugins::zel::EngineSettings;
using vo::plugins::zel::Processor;
using Curve = std::array<float, vo::plugins::zel::kBandCount>;

constexpr double kRate = 48000.0;
constexpr int kBlock = 256;

constexpr int kGenerousWaitMs = 10000;

// Enough 256-sample blocks for the 5 ms follower to land on a frozen cut.
constexpr int kSettleBlocks = 20;

// The engine publishes a display frame when a bell gain moves by more than
// 0.05 dB, so a cut that has just settled from flat may be shown that far off.
constexpr float kShownTolerance = 0.1f;

void pumpMessages (int ms = 120)
{
    vo::core::MessagePump::runFor (ms);
}

void prepareWithSidechain (Processor& p)
{
    auto layout = p.getBusesLayout();
    layout.inputBuses.getReference (1) = juce::AudioChannelSet::stereo();
    ASSERT_TRUE (p.setBusesLayout (layout));
    p.prepareToPlay (kRate, kBlock);
}

// Main: quiet noise. Sidechain: loud low tone, so the cut grows in a few bands.
void run (Processor& p, int blocks, float sidechainLevel, juce::Random& random)
{
    juce::AudioBuffer<float> buffer (4, kBlock);
    juce::MidiBuffer midi;
    static int phase = 0;
    for (int b = 0; b < blocks; ++b)
    {
        for (int i = 0; i < kBlock; ++i, ++phase)
        {
            const float tone = sidechainLevel * std::sin (2.0f * juce::MathConstants<float>::pi * 120.0f * (float) phase / (float) kRate);
            buffer.setSample (0, i, 0.1f * (random.nextFloat() - 0.5f));
            buffer.setSample (1, i, 0.1f * (random.nextFloat() - 0.5f));
            buffer.setSample (2, i, tone);
            buffer.setSample (3, i, tone);
        }
        p.processBlock (buffer, midi);
    }
}

juce::String storedCurveText (Processor& p)
{
    return p.getStateManager().getValueTreeState().state.getChildWithName ("ZELFREEZE").getProperty ("curve").toString();
}

// The capture reaches the state through a timer and an async update: how long
// that takes depends on the machine, so wait for it rather than a fixed time.
void waitForStoredCurve (Processor& p)
{
    EXPECT_TRUE (vo::core::MessagePump::runUntil ([&] { return storedCurveText (p).isNotEmpty(); }, kGenerousWaitMs));
}

// Builds a real cut from a loud low tone, then freezes it and lets the
// message thread store the captured curve.
void freezeAToneCut (Processor& p, juce::Random& random)
{
    prepareWithSidechain (p);
    setPlain (p, "amount", 100.0f);
    run (p, 200, 0.9f, random);
    setPlain (p, "freeze", 1.0f);
    run (p, 1, 0.9f, random);
    waitForStoredCurve (p);
}


void expectSameCurve (const Curve& a, const Curve& b, float tolerance = 0.005f)
{
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_NEAR (a[i], b[i], tolerance) << "band " << i;
}

// The engine belongs to the audio thread even here, where one thread both
// processes and reads: what it holds is seen only through the display frames
// it hands over, as the editor sees it.
Curve shownCut (Processor& p)
{
    DisplayFrame frame;
    p.getEngine().readDisplayFrame (frame);
    return frame.cut;
}

// What an engine frozen on `held` shows once settled, at full amount and the
// processor's default range and smoothing.
Curve shownCutFor (const Curve& held)
{
    CarveEngine engine;
    engine.prepare (kRate, kBlock);
    EngineSettings settings;
    settings.amount = 1.0f;
    settings.freeze = true;
    engine.setSettings (settings);
    engine.loadCutCurve (held.data());

    // It settles without a sidechain and then gets a silent one: the status
    // changes, so the last frame shows the settled cut itself.
    std::vector<float> left ((size_t) kBlock), right ((size_t) kBlock), silence ((size_t) kBlock);
    float* main[] = { left.data(), right.data() };
    float* sidechain[] = { silence.data(), silence.data() };
    for (int b = 0; b < kSettleBlocks; ++b)
        engine.process (main, 2, nullptr, 0, kBlock);
    engine.process (main, 2, sidechain, 2, kBlock);

    DisplayFrame frame;
    engine.readDisplayFrame (frame);
    return frame.cut;
}

// The engine of `p`, frozen and settled, carves with `held`: it shows the cut
// that an engine holding `held` shows.
void expectEngineHolds (Processor& p, const Curve& held)
{
    expectSameCurve (shownCut (p), shownCutFor (held), kShownTolerance);
}

float deepest (const Curve& c)
{
    return *std::min_element (c.begin(), c.end());
}

// Counts begin/end gestures the host would see for one parameter.
struct GestureCounter : juce::AudioProcessorListener
{
    explicit GestureCounter (int index) : parameterIndex (index) {}
    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override { begins += index == parameterIndex ? 1 : 0; }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override { ends += index == parameterIndex ? 1 : 0; }
    int parameterIndex;
    int begins = 0;
    int ends = 0;
};
} // namespace

TEST (CurveText, EncodesTwoDecimalsJoinedByCommas)
{
    Curve deep;
    deep.fill (-30.0f);
    const auto text = CurveText::encode (deep);
    juce::StringArray expected;
    for (int i = 0; i < 32; ++i)
        expected.add ("-30.00");
    EXPECT_EQ (text, expected.joinIntoString (","));
    expectSameCurve (CurveText::decode (text), deep);

    Curve mixed {};
    mixed[0] = -0.0f;
    mixed[1] = -12.345f;
    EXPECT_TRUE (CurveText::encode (mixed).startsWith ("0.00,-12.35,0.00,"));
}

TEST (CurveText, DecodingIsForgiving)
{
    const auto curve = CurveText::decode ("5,,-40,abc");
    EXPECT_EQ (curve[0], 0.0f);
    EXPECT_EQ (curve[1], 0.0f);
    EXPECT_EQ (curve[2], -30.0f);
    EXPECT_EQ (curve[3], 0.0f);
    for (size_t i = 4; i < 32; ++i)
        EXPECT_EQ (curve[i], 0.0f);

    const auto odd = CurveText::decode ("nan,-inf,inf,-7.5dB, -3");
    EXPECT_EQ (odd[0], 0.0f);
    EXPECT_EQ (odd[1], -30.0f);
    EXPECT_EQ (odd[2], 0.0f);
    EXPECT_FLOAT_EQ (odd[3], -7.5f);
    EXPECT_FLOAT_EQ (odd[4], -3.0f);

    juce::String many;
    for (int i = 0; i < 40; ++i)
        many << "-1,";
    EXPECT_EQ (CurveText::decode (many)[31], -1.0f);
    EXPECT_EQ (CurveText::decode ({})[0], 0.0f);

    // Found by fuzzing: endless exponents overflowed the number reader.
    const auto exponents = CurveText::decode ("-1e3039999999,-5e1,-2.5E+0," + juce::String::repeatedString ("9", 40));
    EXPECT_EQ (exponents[0], -1.0f);
    EXPECT_EQ (exponents[1], -30.0f);
    EXPECT_EQ (exponents[2], -2.5f);
    EXPECT_EQ (exponents[3], 0.0f);
}

TEST (FreezePersistence, CaptureIsWrittenIntoTheState)
{
    juce::Random random (3);
    Processor p;
    prepareWithSidechain (p);
    setPlain (p, "amount", 100.0f);
    run (p, 200, 0.9f, random);
    EXPECT_TRUE (storedCurveText (p).isEmpty());

    setPlain (p, "freeze", 1.0f);
    run (p, 1, 0.9f, random);
    ASSERT_TRUE (p.hasHeldCurve());
    EXPECT_LT (deepest (p.getHeldCurve()), -3.0f);
    waitForStoredCurve (p);

    expectSameCurve (CurveText::decode (storedCurveText (p)), p.getHeldCurve());

    // Frozen: a silent sidechain leaves the cut where it was.
    run (p, 200, 0.0f, random);
    expectEngineHolds (p, p.getHeldCurve());
}

TEST (FreezePersistence, FrozenCurveSurvivesSaveAndRestoreIntoAFreshInstance)
{
    juce::Random random (5);
    Processor a;
    freezeAToneCut (a, random);
    const auto saved = stateOf (a);

    Processor b;
    prepareWithSidechain (b);
    b.setStateInformation (saved.getData(), (int) saved.getSize());
    pumpMessages();
    run (b, 1, 0.0f, random);
    EXPECT_TRUE (b.hasHeldCurve());
    expectSameCurve (b.getHeldCurve(), a.getHeldCurve());
    run (b, kSettleBlocks, 0.0f, random);
    expectEngineHolds (b, a.getHeldCurve());

    // A re-prepare keeps the frozen curve.
    b.prepareToPlay (44100.0, 128);
    run (b, kSettleBlocks, 0.0f, random);
    expectSameCurve (b.getHeldCurve(), a.getHeldCurve());
    expectEngineHolds (b, a.getHeldCurve());
}

TEST (FreezePersistence, FreezeOnWithoutStoredCurveFreezesOnTheEnginesOwnCurve)
{
    juce::Random random (9);
    Processor a;
    setPlain (a, "freeze", 1.0f);
    const auto saved = stateOf (a);
    ASSERT_FALSE (a.getStateManager().getValueTreeState().state.getChildWithName ("ZELFREEZE").isValid());

    for (bool messagesFirst : { true, false })
    {
        Processor b;
        prepareWithSidechain (b);
        setPlain (b, "amount", 100.0f);
        run (b, 200, 0.9f, random);
        const auto engineCut = shownCut (b);

        b.setStateInformation (saved.getData(), (int) saved.getSize());
        if (messagesFirst)
            pumpMessages();
        run (b, 1, 0.9f, random); // captures the curve the engine holds now
        pumpMessages();

        ASSERT_TRUE (b.hasHeldCurve());
        EXPECT_LT (deepest (b.getHeldCurve()), -3.0f);
        expectSameCurve (shownCutFor (b.getHeldCurve()), engineCut, kShownTolerance);
        expectSameCurve (CurveText::decode (storedCurveText (b)), b.getHeldCurve());
    }
}

TEST (FreezePersistence, StoredCurveWinsOverAFreshCapture)
{
    juce::Random random (11);
    Processor a;
    freezeAToneCut (a, random);
    const auto saved = stateOf (a);

    // b is live with a flat cut; its state is replaced with freeze on, and the
    // audio thread captures before the message thread has read the stored curve.
    Processor b;
    prepareWithSidechain (b);
    b.setStateInformation (saved.getData(), (int) saved.getSize());
    run (b, 1, 0.0f, random);
    pumpMessages();
    run (b, 1, 0.0f, random);
    pumpMessages();
    expectSameCurve (b.getHeldCurve(), a.getHeldCurve());
    expectSameCurve (CurveText::decode (storedCurveText (b)), a.getHeldCurve());
    run (b, kSettleBlocks, 0.0f, random);
    expectEngineHolds (b, a.getHeldCurve());
}

TEST (FreezePersistence, UserPresetCarriesAndReinstallsTheCurve)
{
    juce::Random random (13);
    Processor a;
    freezeAToneCut (a, random);
    ASSERT_TRUE (a.getPresetManager().savePreset ("Frozen"));
    const auto file = a.getPresetManager().getPresetFolder().getChildFile ("Frozen.vopreset");
    EXPECT_TRUE (file.loadFileAsString().contains ("ZELFREEZE"));

    Processor b;
    prepareWithSidechain (b);
    setPlain (b, "freeze", 1.0f);
    run (b, 1, 0.0f, random);
    ASSERT_TRUE (b.getPresetManager().loadPreset ("Frozen"));
    pumpMessages();
    run (b, 1, 0.0f, random);
    expectSameCurve (b.getHeldCurve(), a.getHeldCurve());
    run (b, kSettleBlocks, 0.0f, random);
    expectEngineHolds (b, a.getHeldCurve());
}

TEST (FreezePersistence, LoadedCurveIsIgnoredWhileFreezeIsOff)
{
    juce::Random random (17);
    Processor a;
    freezeAToneCut (a, random);
    setPlain (a, "freeze", 0.0f);
    const auto saved = stateOf (a);
    EXPECT_TRUE (storedCurveText (a).isNotEmpty()); // kept when freeze goes off

    Processor b;
    prepareWithSidechain (b);
    b.setStateInformation (saved.getData(), (int) saved.getSize());
    pumpMessages();
    run (b, 1, 0.0f, random);
    EXPECT_FALSE (b.hasHeldCurve());
    EXPECT_EQ (deepest (shownCut (b)), 0.0f);
}

TEST (FreezePersistence, AnyLoadSwitchesAuditionOffWithOneGesture)
{
    Processor p;
    const int auditionIndex = p.getStateManager().param ("scAudition").getParameterIndex();

    // A project saved while auditioning comes back with audition switched off.
    setPlain (p, "scAudition", 1.0f);
    const auto saved = stateOf (p);
    {
        GestureCounter counter (auditionIndex);
        p.addListener (&counter);
        p.setStateInformation (saved.getData(), (int) saved.getSize());
        pumpMessages();
        p.removeListener (&counter);
        EXPECT_EQ (plain (p, "scAudition"), 0.0f);
        EXPECT_EQ (counter.begins, 1);
        EXPECT_EQ (counter.ends, 1);
    }

    setPlain (p, "scAudition", 1.0f);
    {
        GestureCounter counter (auditionIndex);
        p.addListener (&counter);
        ASSERT_TRUE (p.getPresetManager().savePreset ("Plain"));
        setPlain (p, "scAudition", 1.0f);
        pumpMessages(); // a save is not a load: audition stays on
        EXPECT_EQ (plain (p, "scAudition"), 1.0f);
        EXPECT_EQ (counter.begins, 0);
        p.removeListener (&counter);
    }

    {
        // The preset itself switches audition off (one gesture); the processor's
        // reaction then finds it off and adds none.
        GestureCounter counter (auditionIndex);
        p.addListener (&counter);
        ASSERT_TRUE (p.getPresetManager().loadPreset ("Default"));
        pumpMessages();
        p.removeListener (&counter);
        EXPECT_EQ (plain (p, "scAudition"), 0.0f);
        EXPECT_EQ (counter.begins, 1);
        EXPECT_EQ (counter.ends, 1);
    }
}

} // namespace vo::test
