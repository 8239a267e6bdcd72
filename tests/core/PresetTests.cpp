// Factory and user presets: listing order, loading, saving, deleting,
// stepping, the snapshot and counter, and damaged files.

#include "plugin/Processor.h"
#include "support/ProcessorAccess.h"

#include <gtest/gtest.h>

#include <csignal>
#if JUCE_LINUX
 #include <sys/resource.h>
#endif

namespace vo::test
{
namespace
{
using vo::plugins::zel::Processor;

const juce::StringArray kFactory { "Default", "Vodu - Dav Irur", "Riziz - Oro Zida",
                                   "Sub - Orta", "Yanlar - Genis", "Yumusak Tutkal" };
} // namespace

TEST (FactoryPresets, ListedInTableOrder)
{
    Processor p;
    EXPECT_EQ (p.getPresetManager().getFactoryPresetNames(), kFactory);
    EXPECT_EQ (p.getPresetManager().getCurrentPresetName(), "");
}

TEST (FactoryPresets, LoadingSetsEveryListedValueAndResetsTheRest)
{
    Processor p;
    auto& pm = p.getPresetManager();
    setPlain (p, "freeze", 1.0f);
    setPlain (p, "scAudition", 1.0f);
    setPlain (p, "bypass", 1.0f);

    ASSERT_TRUE (pm.loadPreset ("Sub - Orta"));
    EXPECT_NEAR (plain (p, "amount"), 80.0f, 1e-3f);
    EXPECT_NEAR (plain (p, "lowCut"), 20.0f, 1e-2f);
    EXPECT_NEAR (plain (p, "highCut"), 120.0f, 1e-2f);
    EXPECT_NEAR (plain (p, "attack"), 5.0f, 1e-3f);
    EXPECT_NEAR (plain (p, "release"), 90.0f, 1e-2f);
    EXPECT_EQ (p.getStateManager().param ("mode").getCurrentValueAsText(), "M/S");
    EXPECT_EQ (p.getStateManager().param ("pan").getCurrentValueAsText(), "-100 %");
    EXPECT_NEAR (plain (p, "smooth"), 25.0f, 1e-3f);
    EXPECT_EQ (plain (p, "freeze"), 0.0f);
    EXPECT_EQ (plain (p, "scAudition"), 0.0f);
    EXPECT_EQ (plain (p, "bypass"), 1.0f); // never part of a preset
    EXPECT_EQ (pm.getCurrentPresetName(), "Sub - Orta");
    EXPECT_EQ (pm.getLoadCounter(), 1);

    ASSERT_TRUE (pm.loadPreset ("Default"));
    EXPECT_NEAR (plain (p, "amount"), 0.0f, 1e-3f);
    EXPECT_NEAR (plain (p, "pan"), 0.0f, 1e-3f);
    EXPECT_EQ (p.getStateManager().param ("mode").getCurrentValueAsText(), "L/R");
    EXPECT_EQ (pm.getLoadCounter(), 2);

    EXPECT_FALSE (pm.loadPreset ("No Such Preset"));
    EXPECT_EQ (pm.getCurrentPresetName(), "Default");
    EXPECT_EQ (pm.getLoadCounter(), 2);
}

TEST (FactoryPresets, SnapshotFollowsLoads)
{
    Processor p;
    auto& pm = p.getPresetManager();
    EXPECT_EQ (pm.getValueSnapshot().size(), 11u);
    ASSERT_TRUE (pm.loadPreset ("Vodu - Dav Irur"));
    const auto& snap = pm.getValueSnapshot();
    EXPECT_FLOAT_EQ (snap.at ("amount"), p.getStateManager().param ("amount").getValue());
    EXPECT_TRUE (snap.count ("bypass") == 1);
}

TEST (UserPresets, SortedNaturallyAfterTheFactoryList)
{
    Processor p;
    auto& pm = p.getPresetManager();
    for (const char* name : { "Mix 10", "mix 2", "Alpha" })
        ASSERT_TRUE (pm.savePreset (name));

    EXPECT_EQ (pm.getUserPresetNames(), juce::StringArray ({ "Alpha", "mix 2", "Mix 10" }));
    auto all = kFactory;
    all.addArray ({ "Alpha", "mix 2", "Mix 10" });
    EXPECT_EQ (pm.getAllPresetNames(), all);
}

TEST (UserPresets, SaveLoadRoundTripWithoutBypass)
{
    Processor p;
    auto& pm = p.getPresetManager();
    setPlain (p, "amount", 42.0f);
    setPlain (p, "highCut", 5000.0f);
    setPlain (p, "bypass", 1.0f);
    ASSERT_TRUE (pm.savePreset ("Mine"));
    EXPECT_EQ (pm.getCurrentPresetName(), "Mine");
    EXPECT_EQ (pm.getLoadCounter(), 0);

    const auto file = pm.getPresetFolder().getChildFile ("Mine.vopreset");
    ASSERT_TRUE (file.existsAsFile());
    const auto xml = juce::XmlDocument::parse (file);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "PARAMS");
    EXPECT_EQ (xml->getNumChildElements(), 10);
    EXPECT_TRUE (file.loadFileAsString().contains ("\r\n"));

    setPlain (p, "amount", 0.0f);
    setPlain (p, "bypass", 0.0f);
    ASSERT_TRUE (pm.loadPreset ("Mine"));
    EXPECT_NEAR (plain (p, "amount"), 42.0f, 1e-3f);
    EXPECT_NEAR (plain (p, "highCut"), 5000.0f, 0.05f);
    EXPECT_EQ (plain (p, "bypass"), 0.0f);
}

TEST (UserPresets, IllegalCharactersAndEmptyNames)
{
    Processor p;
    auto& pm = p.getPresetManager();
    ASSERT_TRUE (pm.savePreset ("a/b:c"));
    EXPECT_TRUE (pm.getPresetFolder().getChildFile ("abc.vopreset").existsAsFile());
    EXPECT_EQ (pm.getCurrentPresetName(), "a/b:c");
    EXPECT_TRUE (pm.loadPreset ("a/b:c"));

    const auto before = pm.getUserPresetNames();
    EXPECT_FALSE (pm.savePreset ("/:*?"));
    EXPECT_FALSE (pm.savePreset (""));
    EXPECT_FALSE (pm.getPresetFolder().getChildFile (".vopreset").exists());
    EXPECT_EQ (pm.getUserPresetNames(), before);
    EXPECT_EQ (pm.getCurrentPresetName(), "a/b:c");
}

TEST (UserPresets, FactoryNameWinsAndCannotBeDeleted)
{
    Processor p;
    auto& pm = p.getPresetManager();
    setPlain (p, "amount", 99.0f);
    ASSERT_TRUE (pm.savePreset ("Default"));
    EXPECT_EQ (pm.getAllPresetNames().size(), kFactory.size() + 1);
    EXPECT_EQ (pm.getAllPresetNames().indexOf ("Default"), 0);
    EXPECT_EQ (pm.getAllPresetNames().indexOf ("Default", false, 1), kFactory.size());

    ASSERT_TRUE (pm.loadPreset ("Default"));
    EXPECT_NEAR (plain (p, "amount"), 0.0f, 1e-3f);

    pm.deletePreset ("Default");
    EXPECT_TRUE (pm.getPresetFolder().getChildFile ("Default.vopreset").existsAsFile());
}

TEST (UserPresets, DeleteClearsTheCurrentName)
{
    Processor p;
    auto& pm = p.getPresetManager();
    ASSERT_TRUE (pm.savePreset ("Gone"));
    pm.deletePreset ("Gone");
    EXPECT_EQ (pm.getCurrentPresetName(), "");
    EXPECT_TRUE (pm.getUserPresetNames().isEmpty());
    EXPECT_FALSE (pm.loadPreset ("Gone"));
}

TEST (UserPresets, NextAndPreviousWrap)
{
    Processor p;
    auto& pm = p.getPresetManager();
    pm.loadAdjacentPreset (1);
    EXPECT_EQ (pm.getCurrentPresetName(), "Default");

    Processor q;
    q.getPresetManager().loadAdjacentPreset (-1);
    EXPECT_EQ (q.getPresetManager().getCurrentPresetName(), "Default");

    ASSERT_TRUE (pm.savePreset ("Zed"));
    pm.loadAdjacentPreset (1);
    EXPECT_EQ (pm.getCurrentPresetName(), "Default");
    pm.loadAdjacentPreset (-1);
    EXPECT_EQ (pm.getCurrentPresetName(), "Zed");
    pm.loadAdjacentPreset (-1);
    EXPECT_EQ (pm.getCurrentPresetName(), "Yumusak Tutkal");
}

TEST (UserPresets, DamagedFilesFailWithoutTouchingParameters)
{
    Processor p;
    auto& pm = p.getPresetManager();
    ASSERT_TRUE (pm.getPresetFolder().createDirectory());
    pm.getPresetFolder().getChildFile ("Broken.vopreset").replaceWithText ("<PARAMS><PARAM id=");
    setPlain (p, "amount", 77.0f);
    EXPECT_FALSE (pm.loadPreset ("Broken"));
    EXPECT_NEAR (plain (p, "amount"), 77.0f, 1e-3f);
    EXPECT_EQ (pm.getLoadCounter(), 0);

    pm.getPresetFolder().getChildFile ("Odd.vopreset").replaceWithText (
        "<PARAMS><PARAM id=\"amount\" value=\"nan\"/><PARAM id=\"smooth\" value=\"inf\"/>"
        "<PARAM id=\"release\" value=\"5000\"/><PARAM id=\"nope\" value=\"1\"/>"
        "<PARAM id=\"bypass\" value=\"1\"/><PARAM value=\"3\"/></PARAMS>");
    ASSERT_TRUE (pm.loadPreset ("Odd"));
    EXPECT_NEAR (plain (p, "amount"), 0.0f, 1e-3f);
    EXPECT_NEAR (plain (p, "smooth"), 30.0f, 1e-3f);
    EXPECT_NEAR (plain (p, "release"), 2000.0f, 1e-2f); // snapped into range
    EXPECT_EQ (plain (p, "bypass"), 0.0f);
}

TEST (UserPresets, FilesThatAreNotOursAreRefusedWhole)
{
    Processor p;
    auto& pm = p.getPresetManager();
    ASSERT_TRUE (pm.getPresetFolder().createDirectory());
    setPlain (p, "amount", 66.0f);
    const auto write = [&] (const char* name, const void* data, size_t size) {
        ASSERT_TRUE (pm.getPresetFolder().getChildFile (juce::String (name) + ".vopreset").replaceWithData (data, size));
    };

    // An overlong NUL inside an attribute value: not UTF-8.
    const char overlong[] = "<PARAMS><PARAM id=\"amount\" value=\"1\xc0\x80\"/></PARAMS>";
    write ("Overlong", overlong, sizeof (overlong) - 1);
    EXPECT_FALSE (pm.loadPreset ("Overlong"));

    // Latin-1 text, as an old editor might save it.
    const char latin1[] = "<PARAMS name=\"Caf\xe9\"><PARAM id=\"amount\" value=\"10\"/></PARAMS>";
    write ("Latin", latin1, sizeof (latin1) - 1);
    EXPECT_FALSE (pm.loadPreset ("Latin"));

    // Nested far deeper than any preset, which the reader would recurse into.
    std::string deep ("<PARAMS>");
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    write ("Deep", deep.data(), deep.size());
    EXPECT_FALSE (pm.loadPreset ("Deep"));

    // A processing instruction followed by text inside an element, which
    // sends the XML reader round in circles.
    const char instruction[] = "<?xml version=\"1.0\"?><PARAMS><?x?>text</PARAMS>";
    write ("Instruction", instruction, sizeof (instruction) - 1);
    EXPECT_FALSE (pm.loadPreset ("Instruction"));
    const char instructionInTag[] = "<PARAMS><PARAM id=\"amount\" val<?x?>\r0</PARAMS>";
    write ("InTag", instructionInTag, sizeof (instructionInTag) - 1);
    EXPECT_FALSE (pm.loadPreset ("InTag"));

    // Entities a document type declares can expand without bound.
    const char entities[] = "<!DOCTYPE p [<!ENTITY a \"<PARAM id='amount' value='5'/>\">]><PARAMS>&a;</PARAMS>";
    write ("Entities", entities, sizeof (entities) - 1);
    EXPECT_FALSE (pm.loadPreset ("Entities"));

    EXPECT_NEAR (plain (p, "amount"), 66.0f, 1e-3f);
    EXPECT_EQ (pm.getLoadCounter(), 0);

    // A byte-order mark in front of good UTF-8 is fine, and so are comments
    // and quoted '>' and '/>'.
    const char withMark[] = "\xef\xbb\xbf<?xml version=\"1.0\"?><!-- <a> --><PARAMS note=\"a/> b>\">"
                            "<PARAM id=\"amount\" value=\"25\"/></PARAMS>";
    write ("Marked", withMark, sizeof (withMark) - 1);
    ASSERT_TRUE (pm.loadPreset ("Marked"));
    EXPECT_NEAR (plain (p, "amount"), 25.0f, 1e-3f);
}

#if JUCE_LINUX
TEST (UserPresets, FailedWriteKeepsThePreviousFile)
{
    Processor p;
    auto& pm = p.getPresetManager();
    setPlain (p, "amount", 11.0f);
    ASSERT_TRUE (pm.savePreset ("Keep"));
    const auto file = pm.getPresetFolder().getChildFile ("Keep.vopreset");
    const auto original = file.loadFileAsString();
    ASSERT_GT (original.length(), 200);

    // A file-size limit makes the write fail half-way, even for root.
    rlimit previous {};
    getrlimit (RLIMIT_FSIZE, &previous);
    auto* previousHandler = std::signal (SIGXFSZ, SIG_IGN);
    rlimit tiny = previous;
    tiny.rlim_cur = 100;
    ASSERT_EQ (setrlimit (RLIMIT_FSIZE, &tiny), 0);

    setPlain (p, "amount", 22.0f);
    const bool saved = pm.savePreset ("Keep");

    setrlimit (RLIMIT_FSIZE, &previous);
    std::signal (SIGXFSZ, previousHandler);

    EXPECT_FALSE (saved);
    EXPECT_EQ (file.loadFileAsString(), original);
    EXPECT_EQ (pm.getPresetFolder().getNumberOfChildFiles (juce::File::findFiles), 1);
}
#endif

TEST (UserPresets, UndoOfALoadIsOneStep)
{
    Processor p;
    auto& sm = p.getStateManager();
    auto& pm = p.getPresetManager();
    pm.setUndoablePresetLoads (true);
    setPlain (p, "smooth", 45.0f);
    sm.beginTransaction();

    ASSERT_TRUE (pm.loadPreset ("Yanlar - Genis"));
    EXPECT_NEAR (plain (p, "amount"), 60.0f, 1e-3f);
    EXPECT_EQ (sm.getUndoManager().getUndoDescription(), "preset");

    sm.undo();
    EXPECT_NEAR (plain (p, "amount"), 0.0f, 1e-3f);
    EXPECT_NEAR (plain (p, "smooth"), 45.0f, 1e-3f);
    EXPECT_NEAR (plain (p, "pan"), 0.0f, 1e-3f);
    EXPECT_EQ (p.getStateManager().param ("mode").getCurrentValueAsText(), "L/R");
}

} // namespace vo::test
