#include "PortGuard.h"

#include <lv2/atom/util.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>

namespace vo::plugins::zel::lv2
{

PortGuard::PortGuard (PortDescription description, std::int64_t maxBlockLength, LV2_URID sequenceTypeIn)
    : ports (std::move (description.ports)),
      connected (ports.size(), nullptr),
      controls (ports.size(), 0.0f),
      busOfPort (ports.size(), kNoBus),
      channelOfPort (ports.size(), 0),
      pieceSamples ((std::uint32_t) std::clamp<std::int64_t> (maxBlockLength, 1, kMaxPieceSamples)),
      silence (pieceSamples, 0.0f),
      sink (pieceSamples, 0.0f),
      sequenceType (sequenceTypeIn)
{
    std::size_t eventBytes = kDefaultEventBytes;
    for (const auto& port : ports)
    {
        if (port.kind == PortInfo::Kind::control && port.isInput)
            controls[port.index] = port.defaultValue;

        if (port.kind == PortInfo::Kind::atom && ! port.isInput)
        {
            eventOutputPort = port.index;
            hasEventOutput = true;
            eventBytes = std::max (eventBytes, port.minimumSize);
        }
    }

    eventScratch.assign ((eventBytes + sizeof (std::uint64_t) - 1) / sizeof (std::uint64_t), 0);
    emptySequence.atom.type = sequenceType;
    findBuses (description.mainInputGroup);
}

// Audio inputs grouped as the description groups them (pg:group); an ungrouped
// input is a bus of its own. The main bus is the plug-in's pg:mainInput, or
// else the first bus with a port the host must connect.
void PortGuard::findBuses (const std::string& mainGroup)
{
    // Keyed by group and, for an ungrouped port, by its index.
    std::map<std::pair<std::string, std::uint32_t>, std::size_t> busOfGroup;
    for (const auto& port : ports)
    {
        if (port.kind != PortInfo::Kind::audio || ! port.isInput)
            continue;

        const auto key = std::make_pair (port.group, port.group.empty() ? port.index : 0u);
        const auto [it, isNew] = busOfGroup.emplace (key, buses.size());
        if (isNew)
            buses.emplace_back();

        auto& bus = buses[it->second];
        busOfPort[port.index] = it->second;
        channelOfPort[port.index] = bus.size();
        bus.push_back (port.index);

        if (mainBus == kNoBus && ! port.optional)
            mainBus = it->second;
    }

    if (const auto it = busOfGroup.find ({ mainGroup, 0u }); ! mainGroup.empty() && it != busOfGroup.end())
        mainBus = it->second;
}

void PortGuard::connect (std::uint32_t index, void* data) noexcept
{
    if (index < connected.size())
        connected[index] = data;
}

void PortGuard::run (const LV2_Descriptor& framework, LV2_Handle instance, std::uint32_t numSamples) noexcept
{
    // The host sets its event output's size to the room it has before each run.
    const auto* hostEvents = hostEventOutput();
    const std::uint32_t hostEventCapacity = hostEvents != nullptr ? hostEvents->atom.size : 0;

    std::uint32_t offset = 0;
    do
    {
        const auto piece = std::min (numSamples - offset, pieceSamples);
        connectPiece (framework, instance, offset);
        framework.run (instance, piece);
        if (offset > 0)
            forwardScratchEvents (offset, hostEventCapacity);
        offset += piece;
    } while (offset < numSamples);
}

void PortGuard::connectPiece (const LV2_Descriptor& framework, LV2_Handle instance, std::uint32_t offset) noexcept
{
    for (const auto& port : ports)
        framework.connect_port (instance, port.index, resolve (port, offset));
}

// What the framework gets for one port for the piece starting at offset. The
// host's events reach the framework once, with the first piece; the events
// the framework sends in later pieces are forwarded afterwards.
void* PortGuard::resolve (const PortInfo& port, std::uint32_t offset) noexcept
{
    void* const hostData = connected[port.index];
    switch (port.kind)
    {
        case PortInfo::Kind::audio:
            if (port.isInput)
            {
                // The framework only reads its inputs.
                const auto* source = audioInputSource (port.index);
                return const_cast<float*> (source != nullptr ? source + offset : silence.data());
            }
            return hostData != nullptr ? static_cast<float*> (hostData) + offset : sink.data();

        case PortInfo::Kind::control:
            return hostData != nullptr ? hostData : &controls[port.index];

        case PortInfo::Kind::atom:
            if (hostData != nullptr && offset == 0)
                return hostData;
            if (port.isInput)
            {
                emptySequence.atom.size = sizeof (LV2_Atom_Sequence_Body);
                return &emptySequence;
            }
            return scratchEventOutput();

        case PortInfo::Kind::other:
            break;
    }
    return hostData;
}

const float* PortGuard::audioInputSource (std::uint32_t index) const noexcept
{
    if (connected[index] != nullptr)
        return static_cast<const float*> (connected[index]);

    const auto bus = busOfPort[index];
    if (bus == kNoBus)
        return nullptr;
    if (const auto* sibling = firstConnected (buses[bus]))
        return sibling;
    if (bus == mainBus || mainBus == kNoBus)
        return nullptr;

    const auto& track = buses[mainBus];
    const auto channel = std::min (channelOfPort[index], track.size() - 1);
    if (connected[track[channel]] != nullptr)
        return static_cast<const float*> (connected[track[channel]]);
    return firstConnected (track);
}

const float* PortGuard::firstConnected (const std::vector<std::uint32_t>& bus) const noexcept
{
    for (const auto index : bus)
        if (connected[index] != nullptr)
            return static_cast<const float*> (connected[index]);
    return nullptr;
}

// Each piece starts the scratch afresh with all of its room on offer.
void* PortGuard::scratchEventOutput() noexcept
{
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*> (eventScratch.data());
    sequence->atom.size = (std::uint32_t) (eventScratch.size() * sizeof (std::uint64_t) - sizeof (LV2_Atom));
    sequence->atom.type = 0;
    return sequence;
}

LV2_Atom_Sequence* PortGuard::hostEventOutput() const noexcept
{
    return hasEventOutput ? static_cast<LV2_Atom_Sequence*> (connected[eventOutputPort]) : nullptr;
}

// Appends what the framework sent during a later piece to the host's event
// output, at the piece's place in the host's block, as far as there is room.
void PortGuard::forwardScratchEvents (std::uint32_t offset, std::uint32_t hostEventCapacity) noexcept
{
    auto* host = hostEventOutput();
    if (host == nullptr || host->atom.type != sequenceType || hostEventCapacity <= sizeof (LV2_Atom))
        return;

    const auto* scratch = reinterpret_cast<const LV2_Atom_Sequence*> (eventScratch.data());
    const auto scratchRoom = eventScratch.size() * sizeof (std::uint64_t) - sizeof (LV2_Atom);
    if (scratch->atom.type != sequenceType || scratch->atom.size > scratchRoom)
        return;

    // Either reading of the host's size (with or without the atom header)
    // leaves at least this much room for the sequence's body.
    const std::uint32_t room = hostEventCapacity - (std::uint32_t) sizeof (LV2_Atom);
    for (auto* event = lv2_atom_sequence_begin (&scratch->body);
         ! lv2_atom_sequence_is_end (&scratch->body, scratch->atom.size, event);
         event = lv2_atom_sequence_next (event))
    {
        const auto size = lv2_atom_pad_size ((std::uint32_t) sizeof (LV2_Atom_Event) + event->body.size);
        if (host->atom.size > room || room - host->atom.size < size)
            return;
        if (auto* copy = lv2_atom_sequence_append_event (host, room, event))
            copy->time.frames += offset;
    }
}

} // namespace vo::plugins::zel::lv2
