// The saved state: round trips, damaged or foreign data, defaults for missing
// properties, undo across restores and the A/B slots.

#include "core/StateStreamCheck.h"
#include "plugin/Processor.h"
#include "support/ProcessorAccess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vo::test
{
namespace
{
using vo::plugins::zel::Processor;

juce::ValueTree treeOf (const juce::MemoryBlock& block)
{
    return juce::ValueTree::readFromData (block.getData(), block.getSize());
}

juce::MemoryBlock streamOf (const juce::ValueTree& tree)
{
    juce::MemoryBlock block;
    juce::MemoryOutputStream out (block, false);
    tree.writeToStream (out);
    out.flush();
    block.setSize (out.getDataSize());
    return block;
}

void expectAllValues (Processor& p, const std::vector<std::pair<const char*, float>>& expected)
{
    for (const auto& [id, value] : expected)
        EXPECT_NEAR (plain (p, id), value, 1e-3f) << id;
}
} // namespace

TEST (State, WrittenTreeHasElevenParamsVersionAndScale)
{
    Processor p;
    const auto tree = treeOf (stateOf (p));
    ASSERT_TRUE (tree.isValid());
    EXPECT_EQ (tree.getType().toString(), "PARAMS");
    EXPECT_EQ ((int) tree.getProperty ("stateVersion"), 1);
    EXPECT_TRUE (tree.getProperty ("stateVersion").isInt());
    EXPECT_TRUE (tree.getProperty ("editorScale").isDouble());
    EXPECT_EQ ((double) tree.getProperty ("editorScale"), 1.0);

    int params = 0;
    for (const auto& child : tree)
    {
        EXPECT_EQ (child.getType().toString(), "PARAM");
        EXPECT_TRUE (child.hasProperty ("id"));
        EXPECT_TRUE (child.hasProperty ("value"));
        ++params;
    }
    EXPECT_EQ (params, 11);
    EXPECT_FALSE (tree.getChildWithName ("ZELFREEZE").isValid());
}

TEST (State, RoundTripIntoFreshInstanceIsExactAndByteIdentical)
{
    Processor a;
    setPlain (a, "amount", 64.5f);
    setPlain (a, "lowCut", 180.0f);
    setPlain (a, "mode", 1.0f);
    setPlain (a, "pan", -35.0f);
    setPlain (a, "bypass", 1.0f);
    a.getStateManager().setEditorScale (1.25f);
    const auto saved = stateOf (a);

    Processor b;
    b.setStateInformation (saved.getData(), (int) saved.getSize());
    expectAllValues (b, { { "amount", 64.5f }, { "lowCut", 180.0f }, { "mode", 1.0f }, { "pan", -35.0f }, { "bypass", 1.0f } });
    EXPECT_FLOAT_EQ (b.getStateManager().getEditorScale(), 1.25f);

    const auto again = stateOf (b);
    EXPECT_EQ (again, saved);
}

TEST (State, BadDataLeavesParametersUntouched)
{
    Processor p;
    setPlain (p, "amount", 40.0f);
    setPlain (p, "smooth", 70.0f);
    const auto good = stateOf (p);
    const std::vector<std::pair<const char*, float>> expected { { "amount", 40.0f }, { "smooth", 70.0f } };

    p.setStateInformation (nullptr, 10);
    p.setStateInformation (good.getData(), 0);
    p.setStateInformation (good.getData(), -5);
    expectAllValues (p, expected);

    // Every truncation of a good state is refused.
    for (size_t cut = 1; cut < good.getSize(); ++cut)
        p.setStateInformation (good.getData(), (int) cut);
    expectAllValues (p, expected);

    const char garbage[] = "this is not a state at all";
    p.setStateInformation (garbage, (int) sizeof (garbage));
    expectAllValues (p, expected);

    juce::ValueTree foreign ("OTHER");
    foreign.appendChild (juce::ValueTree ("PARAM").setProperty ("id", "amount", nullptr).setProperty ("value", 99.0, nullptr), nullptr);
    const auto foreignBlock = streamOf (foreign);
    p.setStateInformation (foreignBlock.getData(), (int) foreignBlock.getSize());
    expectAllValues (p, expected);
}

TEST (State, CountsThatWouldExhaustMemoryAreRefusedQuickly)
{
    Processor p;
    setPlain (p, "amount", 12.0f);
    // "PARAMS", then a property count of 0x7fffffff and nothing after it.
    const unsigned char hugeProps[] = { 'P', 'A', 'R', 'A', 'M', 'S', 0, 4, 0xff, 0xff, 0xff, 0x7f };
    p.setStateInformation (hugeProps, (int) sizeof (hugeProps));
    // No properties, then a child count of 0x7fffffff.
    const unsigned char hugeChildren[] = { 'P', 'A', 'R', 'A', 'M', 'S', 0, 0, 4, 0xff, 0xff, 0xff, 0x7f };
    p.setStateInformation (hugeChildren, (int) sizeof (hugeChildren));
    expectAllValues (p, { { "amount", 12.0f } });

    EXPECT_FALSE (vo::core::StateStreamCheck::isWellFormed (hugeProps, sizeof (hugeProps)));
    EXPECT_FALSE (vo::core::StateStreamCheck::isWellFormed (hugeChildren, sizeof (hugeChildren)));
}

TEST (State, TextThatIsNotStrictUtf8IsRefused)
{
    Processor p;
    setPlain (p, "amount", 33.0f);
    const auto good = stateOf (p);
    const auto* begin = static_cast<const char*> (good.getData());
    const auto* end = begin + good.getSize();
    const std::string id ("amount");
    const auto* found = std::search (begin, end, id.begin(), id.end());
    ASSERT_NE (found, end);

    // The same number of bytes in place of "amount", so only the text is wrong:
    // an overlong NUL, a UTF-16 surrogate, a code point past U+10FFFF.
    for (const char* bad : { "am\xc0\x80nt", "a\xed\xa0\x80nt", "a\xf4\x90\x80\x80t" })
    {
        ASSERT_EQ (std::strlen (bad), id.size());
        juce::MemoryBlock damaged (good);
        std::memcpy (static_cast<char*> (damaged.getData()) + (found - begin), bad, id.size());

        EXPECT_FALSE (vo::core::StateStreamCheck::isWellFormed (damaged.getData(), damaged.getSize())) << bad;
        p.setStateInformation (damaged.getData(), (int) damaged.getSize());
        expectAllValues (p, { { "amount", 33.0f } });
    }
}

TEST (State, DeeplyNestedTreesAreRefused)
{
    juce::ValueTree root ("PARAMS");
    auto node = root;
    for (int i = 0; i < 100; ++i)
    {
        juce::ValueTree child ("N");
        node.appendChild (child, nullptr);
        node = child;
    }
    const auto block = streamOf (root);
    EXPECT_FALSE (vo::core::StateStreamCheck::isWellFormed (block.getData(), block.getSize()));

    Processor p;
    const auto good = stateOf (p);
    EXPECT_TRUE (vo::core::StateStreamCheck::isWellFormed (good.getData(), good.getSize()));
}

TEST (State, MissingVersionAndScaleTakeDefaults)
{
    Processor a;
    setPlain (a, "release", 400.0f);
    auto tree = treeOf (stateOf (a));
    tree.removeProperty ("stateVersion", nullptr);
    tree.removeProperty ("editorScale", nullptr);
    const auto block = streamOf (tree);

    Processor b;
    b.getStateManager().setEditorScale (2.0f);
    b.setStateInformation (block.getData(), (int) block.getSize());
    EXPECT_NEAR (plain (b, "release"), 400.0f, 0.01f);
    EXPECT_FLOAT_EQ (b.getStateManager().getEditorScale(), 1.0f);
}

TEST (State, NonFiniteStoredValuesBecomeDefaults)
{
    Processor a;
    setPlain (a, "amount", 55.0f);
    auto tree = treeOf (stateOf (a));
    const std::pair<const char*, juce::var> damaged[] = {
        { "amount", std::nan ("") },
        { "attack", std::numeric_limits<double>::infinity() },
        { "release", "loud" },
        { "smooth", "" },
        { "lowCut", "250" },
    };
    for (const auto& [id, value] : damaged)
        tree.getChildWithProperty ("id", id).setProperty ("value", value, nullptr);
    tree.setProperty ("editorScale", std::nan (""), nullptr);
    const auto block = streamOf (tree);

    Processor b;
    setPlain (b, "amount", 10.0f);
    b.setStateInformation (block.getData(), (int) block.getSize());
    expectAllValues (b, { { "amount", 0.0f }, { "attack", 10.0f }, { "release", 150.0f }, { "smooth", 30.0f }, { "lowCut", 250.0f } });
    EXPECT_FLOAT_EQ (b.getStateManager().getEditorScale(), 1.0f);

    for (auto* raw : b.getParameters())
        EXPECT_TRUE (std::isfinite (raw->getValue()));
}

TEST (State, HugeStoredNumbersAreClampedNotCast)
{
    Processor a;
    auto tree = treeOf (stateOf (a));
    tree.getChildWithProperty ("id", "amount").setProperty ("value", 1e300, nullptr);
    tree.getChildWithProperty ("id", "attack").setProperty ("value", -1e300, nullptr);
    tree.getChildWithProperty ("id", "release").setProperty ("value", (juce::int64) 1 << 62, nullptr);
    tree.setProperty ("stateVersion", 3.3e150, nullptr);
    tree.setProperty ("editorScale", 1e300, nullptr);
    const auto block = streamOf (tree);

    Processor b;
    b.setStateInformation (block.getData(), (int) block.getSize());
    const auto rangeOf = [&] (const char* id) { return b.getStateManager().getValueTreeState().getParameter (id)->getNormalisableRange(); };
    expectAllValues (b, { { "amount", rangeOf ("amount").end }, { "attack", rangeOf ("attack").start }, { "release", rangeOf ("release").end } });
    EXPECT_FLOAT_EQ (b.getStateManager().getEditorScale(), 1.0f);
}

TEST (State, RestoreClearsUndoHistory)
{
    Processor p;
    auto& sm = p.getStateManager();
    const auto saved = stateOf (p);

    sm.beginTransaction();
    setPlain (p, "amount", 20.0f);
    sm.flushToTree();
    sm.beginTransaction();
    EXPECT_TRUE (sm.canUndo());

    p.setStateInformation (saved.getData(), (int) saved.getSize());
    EXPECT_FALSE (sm.canUndo());
    EXPECT_NEAR (plain (p, "amount"), 0.0f, 1e-4f);
}

TEST (StateManager, MissingParameterIsOneInertObject)
{
    Processor p;
    auto& a = p.getStateManager().param ("nope");
    auto& b = p.getStateManager().param ("also-nope");
    EXPECT_EQ (&a, &b);
    EXPECT_EQ (a.getName (64), "Missing");
    EXPECT_EQ (a.getParameterID(), "__missing__");
    EXPECT_EQ (a.getNormalisableRange().start, 0.0f);
    EXPECT_EQ (a.getNormalisableRange().end, 1.0f);
    EXPECT_EQ (&p.getStateManager().param ("amount"), p.getParameters()[0]);
}

TEST (StateManager, ABSwitchingKeepsEachSide)
{
    Processor p;
    auto& sm = p.getStateManager();
    setPlain (p, "amount", 25.0f);

    sm.switchToSlot (1); // B starts as a copy of A
    EXPECT_EQ (sm.getCurrentSlot(), 1);
    EXPECT_NEAR (plain (p, "amount"), 25.0f, 1e-3f);
    setPlain (p, "smooth", 80.0f);

    sm.switchToSlot (0);
    EXPECT_NEAR (plain (p, "amount"), 25.0f, 1e-3f);
    EXPECT_NEAR (plain (p, "smooth"), 30.0f, 1e-3f);
    EXPECT_FALSE (sm.canUndo());

    sm.switchToSlot (1);
    EXPECT_NEAR (plain (p, "smooth"), 80.0f, 1e-3f);
    EXPECT_NEAR (plain (p, "amount"), 25.0f, 1e-3f);

    sm.switchToSlot (1); // same slot: nothing happens
    EXPECT_EQ (sm.getCurrentSlot(), 1);
}

TEST (StateManager, StoreSlotClampsTheIndex)
{
    {
        Processor p;
        auto& sm = p.getStateManager();
        setPlain (p, "amount", 66.0f);
        sm.storeSlot (7);
        setPlain (p, "amount", 99.0f);
        sm.switchToSlot (1);
        EXPECT_NEAR (plain (p, "amount"), 66.0f, 1e-3f);
    }
    {
        Processor p;
        auto& sm = p.getStateManager();
        sm.switchToSlot (1);
        setPlain (p, "amount", 33.0f);
        sm.storeSlot (-5);
        setPlain (p, "amount", 44.0f);
        sm.switchToSlot (0);
        EXPECT_NEAR (plain (p, "amount"), 33.0f, 1e-3f);
    }
}

TEST (StateManager, TransactionsRespectUndoEnabled)
{
    Processor p;
    auto& sm = p.getStateManager();
    auto& um = sm.getUndoManager();

    sm.setUndoEnabled (false);
    um.clearUndoHistory();
    sm.beginTransaction();
    setPlain (p, "amount", 50.0f);
    sm.flushToTree();
    EXPECT_EQ (um.getNumActionsInCurrentTransaction(), 0);

    sm.beginTransactionNoFlush();
    EXPECT_EQ (um.getNumActionsInCurrentTransaction(), 0);

    sm.setUndoEnabled (true);
    sm.beginTransaction(); // flushes the pending 50 into the tree
    EXPECT_TRUE (sm.canUndo());
    setPlain (p, "amount", 70.0f);
    sm.flushToTree();
    sm.undo();
    EXPECT_NEAR (plain (p, "amount"), 50.0f, 1e-3f);
    EXPECT_TRUE (sm.canRedo());
    sm.redo();
    EXPECT_NEAR (plain (p, "amount"), 70.0f, 1e-3f);
}

} // namespace vo::test
