// The LV2 C interface as any host calls it: the bundle read with lilv (the
// library most LV2 hosts read descriptions with), the module instantiated
// through its lv2_descriptor, and each port the description marks
// lv2:connectionOptional left unconnected (NULL) in turn.

#include "host/Lv2TestSupport.h"
#include "plugin/lv2/PortDescription.h"

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/patch/patch.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace vo::test
{
using vo::plugins::zel::lv2::PortInfo;

namespace
{
constexpr std::uint32_t kMaxBlock = 256;
constexpr std::size_t kEventBytes = 65536;
constexpr float kTrackLevel = 0.1f;
constexpr float kSidechainLevel = 0.5f;
constexpr float kFullAmountPercent = 100.0f;

class UridMap
{
public:
    LV2_URID map (const char* uri) { return ids.emplace (uri, (LV2_URID) ids.size() + 1).first->second; }

    LV2_URID_Map feature { this, [] (LV2_URID_Map_Handle self, const char* uri) { return static_cast<UridMap*> (self)->map (uri); } };

private:
    std::map<std::string, LV2_URID> ids;
};

// A port as lilv reads it from the bundle.
struct HostPort
{
    std::uint32_t index = 0;
    PortInfo::Kind kind = PortInfo::Kind::other;
    bool isInput = false;
    bool optional = false;
    float defaultValue = 0.0f;
    std::string symbol;
};

struct Bundle
{
    Bundle()
    {
        auto* bundleUri = lilv_new_file_uri (world, nullptr, (bundlePath() + "/").c_str());
        lilv_world_load_bundle (world, bundleUri);
        lilv_node_free (bundleUri);

        auto* pluginUri = lilv_new_uri (world, ZEL_LV2_URI);
        plugin = lilv_plugins_get_by_uri (lilv_world_get_all_plugins (world), pluginUri);
        lilv_node_free (pluginUri);
    }

    ~Bundle() { lilv_world_free (world); }

    bool is (const LilvPort* port, const char* classUri) const
    {
        auto* node = lilv_new_uri (world, classUri);
        const bool result = lilv_port_is_a (plugin, port, node);
        lilv_node_free (node);
        return result;
    }

    std::vector<HostPort> ports() const
    {
        std::vector<HostPort> result;
        auto* optional = lilv_new_uri (world, LV2_CORE__connectionOptional);
        for (std::uint32_t i = 0; plugin != nullptr && i < lilv_plugin_get_num_ports (plugin); ++i)
        {
            const auto* port = lilv_plugin_get_port_by_index (plugin, i);
            HostPort p;
            p.index = i;
            p.kind = is (port, LV2_CORE__AudioPort) ? PortInfo::Kind::audio
                   : is (port, LV2_CORE__ControlPort) ? PortInfo::Kind::control
                   : is (port, LV2_ATOM__AtomPort) ? PortInfo::Kind::atom : PortInfo::Kind::other;
            p.isInput = is (port, LV2_CORE__InputPort);
            p.optional = lilv_port_has_property (plugin, port, optional);
            p.symbol = lilv_node_as_string (lilv_port_get_symbol (plugin, port));
            LilvNode* defaultNode = nullptr;
            lilv_port_get_range (plugin, port, &defaultNode, nullptr, nullptr);
            p.defaultValue = defaultNode != nullptr ? lilv_node_as_float (defaultNode) : 0.0f;
            lilv_node_free (defaultNode);
            result.push_back (p);
        }
        lilv_node_free (optional);
        return result;
    }

    LilvWorld* world = lilv_world_new();
    const LilvPlugin* plugin = nullptr;
};

// A minimal host: connects every port but the ones it is told to leave
// unconnected, plays a tone into the track and one into the sidechain, and
// hands parameter changes over as the plug-in's description asks (patch:Set
// on the event input).
class Rig
{
public:
    Rig (const Bundle& bundle, std::set<std::uint32_t> unconnectedPorts, std::uint32_t maxBlock = kMaxBlock)
        : ports (bundle.ports()), unconnected (std::move (unconnectedPorts))
    {
        blockLength = (std::int32_t) maxBlock;
        options[0] = { LV2_OPTIONS_INSTANCE, 0, urids.map (LV2_BUF_SIZE__maxBlockLength), sizeof (std::int32_t), urids.map (LV2_ATOM__Int), &blockLength };
        options[1] = { LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr };
        instance = lilv_plugin_instantiate (bundle.plugin, kSampleRate, features);
        lv2_atom_forge_init (&forge, &urids.feature);

        controls.resize (ports.size());
        events.resize (ports.size());
        for (const auto& port : ports)
            controls[port.index] = port.defaultValue;
        if (instance != nullptr)
            lilv_instance_activate (instance);
    }

    ~Rig()
    {
        if (instance != nullptr)
        {
            lilv_instance_deactivate (instance);
            lilv_instance_free (instance);
        }
    }

    bool ok() const { return instance != nullptr; }

    void setAmountPercent (float value) { pendingAmount = value; }

    float& control (const std::string& symbol)
    {
        for (const auto& port : ports)
            if (port.symbol == symbol)
                return controls[port.index];
        static float nowhere = 0.0f;
        ADD_FAILURE() << "no port " << symbol;
        return nowhere;
    }

    // Plays `samples` in runs of `runLength`: the carved band's tone in the
    // track, and in the sidechain when `sidechainTone` is set. Returns the
    // left output.
    std::vector<float> play (int samples, std::uint32_t runLength, bool sidechainTone)
    {
        audio.assign (ports.size(), std::vector<float> (runLength, 0.0f));
        std::vector<float> output;
        for (long pos = 0; pos < samples; pos += runLength)
        {
            fillInputs (pos, sidechainTone);
            connectAll();
            lilv_instance_run (instance, runLength);
            const auto& left = audio[firstAudioOutput()];
            output.insert (output.end(), left.begin(), left.end());
        }
        return output;
    }

private:
    std::uint32_t firstAudioOutput() const
    {
        for (const auto& port : ports)
            if (port.kind == PortInfo::Kind::audio && ! port.isInput)
                return port.index;
        return 0;
    }

    void fillInputs (long pos, bool sidechainTone)
    {
        for (const auto& port : ports)
        {
            if (port.kind != PortInfo::Kind::audio || ! port.isInput)
                continue;
            const bool isSidechain = port.optional;
            auto& buffer = audio[port.index];
            for (size_t i = 0; i < buffer.size(); ++i)
            {
                const long sample = pos + (long) i;
                buffer[i] = isSidechain ? (sidechainTone ? tone (bandCentreHz (kCarvedBand), kSidechainLevel, sample) : 0.0f)
                                        : tone (bandCentreHz (kCarvedBand), kTrackLevel, sample);
            }
        }
    }

    void connectAll()
    {
        for (const auto& port : ports)
            lilv_instance_connect_port (instance, port.index, unconnected.count (port.index) != 0 ? nullptr : buffer (port));
    }

    void* buffer (const HostPort& port)
    {
        switch (port.kind)
        {
            case PortInfo::Kind::audio: return audio[port.index].data();
            case PortInfo::Kind::control: return &controls[port.index];
            case PortInfo::Kind::atom: return port.isInput ? writeEvents (port.index) : emptyOutput (port.index);
            case PortInfo::Kind::other: break;
        }
        return nullptr;
    }

    void* writeEvents (std::uint32_t index)
    {
        auto& memory = events[index];
        memory.assign (kEventBytes / sizeof (std::uint64_t), 0);
        lv2_atom_forge_set_buffer (&forge, reinterpret_cast<std::uint8_t*> (memory.data()), kEventBytes);
        LV2_Atom_Forge_Frame sequence, object;
        lv2_atom_forge_sequence_head (&forge, &sequence, 0);
        if (pendingAmount >= 0.0f)
        {
            lv2_atom_forge_frame_time (&forge, 0);
            lv2_atom_forge_object (&forge, &object, 0, urids.map (LV2_PATCH__Set));
            lv2_atom_forge_key (&forge, urids.map (LV2_PATCH__property));
            lv2_atom_forge_urid (&forge, urids.map (ZEL_LV2_URI ":amount"));
            lv2_atom_forge_key (&forge, urids.map (LV2_PATCH__value));
            lv2_atom_forge_float (&forge, pendingAmount);
            lv2_atom_forge_pop (&forge, &object);
            pendingAmount = -1.0f;
        }
        lv2_atom_forge_pop (&forge, &sequence);
        return memory.data();
    }

    void* emptyOutput (std::uint32_t index)
    {
        auto& memory = events[index];
        memory.assign (kEventBytes / sizeof (std::uint64_t), 0);
        auto* atom = reinterpret_cast<LV2_Atom*> (memory.data());
        atom->size = (std::uint32_t) (kEventBytes - sizeof (LV2_Atom));
        atom->type = urids.map (LV2_ATOM__Chunk);
        return memory.data();
    }

    UridMap urids;
    std::vector<HostPort> ports;
    std::set<std::uint32_t> unconnected;

    std::int32_t blockLength = 0;
    LV2_Options_Option options[2] {};
    LV2_Feature mapFeature { LV2_URID__map, &urids.feature };
    LV2_Feature optionsFeature { LV2_OPTIONS__options, options };
    LV2_Feature boundedFeature { LV2_BUF_SIZE__boundedBlockLength, nullptr };
    const LV2_Feature* features[4] { &mapFeature, &optionsFeature, &boundedFeature, nullptr };

    LilvInstance* instance = nullptr;
    LV2_Atom_Forge forge {};
    float pendingAmount = -1.0f;

    std::vector<std::vector<float>> audio;
    std::vector<float> controls;
    std::vector<std::vector<std::uint64_t>> events;
};

std::set<std::uint32_t> optionalPorts (const std::vector<HostPort>& ports, bool audioOnly = false)
{
    std::set<std::uint32_t> result;
    for (const auto& port : ports)
        if (port.optional && (! audioOnly || port.kind == PortInfo::Kind::audio))
            result.insert (port.index);
    return result;
}

double carveDb (const std::vector<float>& output)
{
    return toneLevelDb (output, bandCentreHz (kCarvedBand)) - 20.0 * std::log10 ((double) kTrackLevel);
}

bool allFinite (const std::vector<float>& samples)
{
    return std::all_of (samples.begin(), samples.end(), [] (float s) { return std::isfinite (s); });
}

// Plays the carved band's tone into track and sidechain at full amount.
std::vector<float> carve (Rig& rig, std::uint32_t runLength = kMaxBlock, bool sidechainTone = true)
{
    rig.setAmountPercent (kFullAmountPercent);
    return rig.play (kSettleSamples + kMeasureSamples, runLength, sidechainTone);
}
} // namespace

// The plug-in finds its ports in the description it ships; what it reads
// must be what hosts read.
TEST (Lv2Ports, TheModuleReadsItsPortsAsTheHostDoes)
{
    const Bundle bundle;
    ASSERT_NE (bundle.plugin, nullptr) << "no " << ZEL_LV2_URI << " in " << bundlePath();
    const auto hostPorts = bundle.ports();

    std::ifstream file (bundlePath() + "/dsp.ttl");
    std::stringstream text;
    text << file.rdbuf();
    const auto description = vo::plugins::zel::lv2::readPortDescription (text.str());
    ASSERT_TRUE (description.has_value());
    ASSERT_EQ (description->ports.size(), hostPorts.size());

    for (const auto& host : hostPorts)
    {
        const auto& own = description->ports[host.index];
        EXPECT_EQ (own.index, host.index);
        EXPECT_EQ (own.symbol, host.symbol);
        EXPECT_EQ (own.kind, host.kind) << host.symbol;
        EXPECT_EQ (own.isInput, host.isInput) << host.symbol;
        EXPECT_EQ (own.optional, host.optional) << host.symbol;
        EXPECT_FLOAT_EQ (own.defaultValue, host.defaultValue) << host.symbol;
    }

    // What the tests below leave unconnected: the sidechain pair and the
    // latency, free-wheeling and enable ports.
    std::set<std::string> optionalSymbols;
    for (const auto index : optionalPorts (hostPorts))
        optionalSymbols.insert (hostPorts[index].symbol);
    EXPECT_EQ (optionalSymbols, (std::set<std::string> { "audio_in_3", "audio_in_4", "latency", "freeWheeling", "enabled" }));
}

TEST (Lv2Ports, EachOptionalPortMayBeLeftUnconnected)
{
    const Bundle bundle;
    ASSERT_NE (bundle.plugin, nullptr);
    const auto ports = bundle.ports();

    auto cases = std::vector<std::set<std::uint32_t>> { optionalPorts (ports) };
    for (const auto index : optionalPorts (ports))
        cases.push_back ({ index });

    for (const auto& unconnected : cases)
    {
        std::string names;
        for (const auto index : unconnected)
            names += ports[index].symbol + " ";
        SCOPED_TRACE ("unconnected: " + names);

        runInChild ([&] {
            Rig rig (bundle, unconnected);
            ASSERT_TRUE (rig.ok());
            const auto output = carve (rig);
            ASSERT_TRUE (allFinite (output));
            EXPECT_NEAR (carveDb (output), kFullCutDb, kCutToleranceDb) << "on, and hearing the carved band";
            if (unconnected.size() == 1)
            {
                EXPECT_EQ (rig.control ("latency"), 0.0f);
            }
        });
    }
}

// Unconnected is "no sidechain routed": the plug-in listens to the track. A
// connected sidechain is heard as it is, silence included.
TEST (Lv2Ports, AnUnconnectedSidechainListensToTheTrack)
{
    const Bundle bundle;
    ASSERT_NE (bundle.plugin, nullptr);
    const auto sidechain = optionalPorts (bundle.ports(), true);
    ASSERT_EQ (sidechain.size(), 2u);

    runInChild ([&] {
        Rig unrouted (bundle, sidechain);
        ASSERT_TRUE (unrouted.ok());
        EXPECT_NEAR (carveDb (carve (unrouted, kMaxBlock, false)), kFullCutDb, kCutToleranceDb);

        Rig silent (bundle, {});
        ASSERT_TRUE (silent.ok());
        EXPECT_NEAR (carveDb (carve (silent, kMaxBlock, false)), 0.0, kUntouchedToleranceDb);
    });
}

TEST (Lv2Ports, TheEnablePortSwitchesTheEffect)
{
    const Bundle bundle;
    ASSERT_NE (bundle.plugin, nullptr);

    runInChild ([&] {
        Rig rig (bundle, {});
        ASSERT_TRUE (rig.ok());
        rig.control ("enabled") = 0.0f;
        EXPECT_NEAR (carveDb (carve (rig)), 0.0, kUntouchedToleranceDb);
    });
}

// A host that breaks its own maxBlockLength still gets every sample processed,
// as if it had kept to it, and nothing is read or written past a buffer.
TEST (Lv2Ports, BlocksLongerThanAnnouncedRunInPieces)
{
    const Bundle bundle;
    ASSERT_NE (bundle.plugin, nullptr);
    const auto unconnected = optionalPorts (bundle.ports());
    constexpr std::uint32_t kLongRun = 1000;
    constexpr std::uint32_t kShortRun = 200;

    runInChild ([&] {
        Rig longRuns (bundle, unconnected);
        Rig shortRuns (bundle, unconnected);
        ASSERT_TRUE (longRuns.ok() && shortRuns.ok());
        const auto longOutput = carve (longRuns, kLongRun);
        const auto shortOutput = carve (shortRuns, kShortRun);
        ASSERT_TRUE (allFinite (longOutput));

        const auto common = std::min (longOutput.size(), shortOutput.size());
        float difference = 0.0f;
        for (size_t i = 0; i < common; ++i)
            difference = std::max (difference, std::abs (longOutput[i] - shortOutput[i]));
        EXPECT_LT (difference, 1e-4f);
        EXPECT_NEAR (carveDb (longOutput), kFullCutDb, kCutToleranceDb);
    });
}

} // namespace vo::test
