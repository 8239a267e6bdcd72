#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vo::plugins::zel::lv2
{

// One port as the bundle's generated description (dsp.ttl) declares it: the
// same facts a host reads when it decides what to connect.
struct PortInfo
{
    enum class Kind
    {
        audio,
        control,
        atom,
        other
    };

    std::uint32_t index = 0;
    Kind kind = Kind::other;
    bool isInput = false;
    bool optional = false;     // lv2:connectionOptional: the host may connect NULL
    float defaultValue = 0.0f; // lv2:default of a control port
    std::size_t minimumSize = 0; // rsz:minimumSize of an event port, in bytes
    std::string symbol;
    std::string group;         // pg:group, empty when the port belongs to none
};

struct PortDescription
{
    std::vector<PortInfo> ports; // by index: ports[i].index == i
    std::string mainInputGroup;  // pg:mainInput of the plug-in
};

// Reads the port list from the Turtle text of the plug-in's description.
// Nothing when the text holds no complete port list: a port without an index
// or a direction, or indices that repeat or leave gaps.
std::optional<PortDescription> readPortDescription (std::string_view turtle);

} // namespace vo::plugins::zel::lv2
