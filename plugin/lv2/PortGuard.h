#pragma once

#include "PortDescription.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <vector>

namespace vo::plugins::zel::lv2
{

// Stands between the host's port connections and the framework's LV2 wrapper,
// which reads and writes through every port it knows whether the host
// connected it or not. A host may leave any port the description marks
// lv2:connectionOptional unconnected (NULL); a careless one others as well.
// The guard keeps what the host connected and hands the framework real
// memory for every port on every block:
//  - an unconnected audio input channel takes a connected channel of its own
//    bus; a sidechain bus with nothing connected takes the track's own
//    channels, so the plug-in listens to the track as it does when no
//    sidechain is routed; what is left is silence;
//  - an unconnected audio or control output writes into scratch memory;
//  - an unconnected control input reads its declared default (enabled: on,
//    free-wheeling: off);
//  - an unconnected event input is an empty sequence, an unconnected event
//    output a scratch sequence.
// A block longer than the host announced runs in pieces no longer than the
// substitutes, so nothing is read or written past a buffer either way.
// Everything is sized in the constructor; run neither allocates nor locks.
class PortGuard
{
public:
    // The longest piece one framework call gets, whatever the host announces.
    static constexpr std::uint32_t kMaxPieceSamples = 1u << 16;
    // Event scratch when the description names no minimum size.
    static constexpr std::size_t kDefaultEventBytes = 16384;

    PortGuard (PortDescription description, std::int64_t maxBlockLength, LV2_URID sequenceType);

    void connect (std::uint32_t index, void* data) noexcept;
    void run (const LV2_Descriptor& framework, LV2_Handle instance, std::uint32_t numSamples) noexcept;

    std::uint32_t getPieceSamples() const noexcept { return pieceSamples; }

private:
    static constexpr std::size_t kNoBus = ~std::size_t (0);

    void findBuses (const std::string& mainGroup);
    void connectPiece (const LV2_Descriptor& framework, LV2_Handle instance, std::uint32_t offset) noexcept;
    void* resolve (const PortInfo& port, std::uint32_t offset) noexcept;
    const float* audioInputSource (std::uint32_t index) const noexcept;
    const float* firstConnected (const std::vector<std::uint32_t>& bus) const noexcept;
    void* scratchEventOutput() noexcept;
    void forwardScratchEvents (std::uint32_t offset, std::uint32_t hostEventCapacity) noexcept;
    LV2_Atom_Sequence* hostEventOutput() const noexcept;

    std::vector<PortInfo> ports;
    std::vector<void*> connected;
    std::vector<float> controls; // one per port: the default of an input, scratch for an output

    std::vector<std::vector<std::uint32_t>> buses; // audio inputs by group, in channel order
    std::vector<std::size_t> busOfPort;
    std::vector<std::size_t> channelOfPort;
    std::size_t mainBus = kNoBus;

    std::uint32_t pieceSamples;
    std::vector<float> silence;
    std::vector<float> sink;

    LV2_URID sequenceType;
    LV2_Atom_Sequence emptySequence {};
    std::vector<std::uint64_t> eventScratch; // 64-bit words keep the atoms aligned
    std::uint32_t eventOutputPort = 0;
    bool hasEventOutput = false;
};

} // namespace vo::plugins::zel::lv2
