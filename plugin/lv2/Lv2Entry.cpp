// The LV2 module's entry points. The framework's LV2 wrapper is compiled into
// this module with its own entry points renamed (plugin/CMakeLists.txt); ours
// hand the host the framework's descriptors with every call that carries an
// instance passed through a wrapper, so that a PortGuard stands between the
// host's port connections and the framework's processing.

#include "PortGuard.h"

#include <lv2/buf-size/buf-size.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

extern "C" const LV2_Descriptor* zel_framework_lv2_descriptor (uint32_t index);
extern "C" const LV2UI_Descriptor* zel_framework_lv2ui_descriptor (uint32_t index);

namespace vo::plugins::zel::lv2
{
namespace
{
constexpr std::uint64_t kInstanceTag = 0x5a454c2d4c563200; // "ZEL-LV2"
constexpr const char* kDescriptionFile = "dsp.ttl";

// The framework's private extension that its build step asks for to write
// the bundle's description. It carries no instance, so it passes as it is.
constexpr const char* kFrameworkDescriptionWriterUri = "https://lv2-extensions.juce.com/turtle_recall";

struct GuardedInstance
{
    GuardedInstance (PortDescription description, std::int64_t maxBlockLength, LV2_URID sequenceType)
        : ports (std::move (description), maxBlockLength, sequenceType)
    {
    }

    std::uint64_t tag = kInstanceTag;
    const LV2_Descriptor* framework = zel_framework_lv2_descriptor (0);
    LV2_Handle frameworkInstance = nullptr;
    PortGuard ports;
};

GuardedInstance& guarded (LV2_Handle instance)
{
    return *static_cast<GuardedInstance*> (instance);
}

const void* findFeature (const LV2_Feature* const* features, const char* uri)
{
    for (auto* feature = features; feature != nullptr && *feature != nullptr; ++feature)
        if (std::strcmp ((*feature)->URI, uri) == 0)
            return (*feature)->data;
    return nullptr;
}

template <typename Number>
std::optional<std::int64_t> readNumber (const LV2_Options_Option& option)
{
    if (option.size != sizeof (Number) || option.value == nullptr)
        return std::nullopt;
    Number value {};
    std::memcpy (&value, option.value, sizeof (Number));
    return static_cast<std::int64_t> (value);
}

// The host's bufs:maxBlockLength, which the framework prepares for as well.
std::optional<std::int64_t> maxBlockLength (const LV2_Feature* const* features, const LV2_URID_Map& map)
{
    const auto* options = static_cast<const LV2_Options_Option*> (findFeature (features, LV2_OPTIONS__options));
    const auto urid = [&map] (const char* uri) { return map.map (map.handle, uri); };
    const auto key = urid (LV2_BUF_SIZE__maxBlockLength);

    for (auto* option = options; option != nullptr && option->key != 0; ++option)
    {
        if (option->key != key)
            continue;
        if (option->type == urid (LV2_ATOM__Int))
            return readNumber<std::int32_t> (*option);
        if (option->type == urid (LV2_ATOM__Long))
            return readNumber<std::int64_t> (*option);
        if (option->type == urid (LV2_ATOM__Float))
            return readNumber<float> (*option);
        if (option->type == urid (LV2_ATOM__Double))
            return readNumber<double> (*option);
    }
    return std::nullopt;
}

// The description the host itself read: it says which port is which.
std::optional<PortDescription> readBundleDescription (const char* bundlePath)
{
    if (bundlePath == nullptr)
        return std::nullopt;

    std::string path (bundlePath);
    if (! path.empty() && path.back() != '/')
        path += '/';
    std::ifstream file (path + kDescriptionFile, std::ios::binary);
    if (! file)
        return std::nullopt;

    const std::string text ((std::istreambuf_iterator<char> (file)), std::istreambuf_iterator<char>());
    return readPortDescription (text);
}

std::unique_ptr<GuardedInstance> makeInstance (const char* bundlePath, const LV2_Feature* const* features)
{
    const auto* map = static_cast<const LV2_URID_Map*> (findFeature (features, LV2_URID__map));
    if (map == nullptr)
        return nullptr;

    auto description = readBundleDescription (bundlePath);
    const auto blockLength = maxBlockLength (features, *map);
    if (! description.has_value() || ! blockLength.has_value())
        return nullptr;

    return std::make_unique<GuardedInstance> (std::move (*description), *blockLength, map->map (map->handle, LV2_ATOM__Sequence));
}

//==============================================================================
// The plug-in descriptor. No exception leaves the module.

LV2_Handle instantiate (const LV2_Descriptor*, double sampleRate, const char* bundlePath, const LV2_Feature* const* features)
{
    try
    {
        auto instance = makeInstance (bundlePath, features);
        if (instance == nullptr)
            return nullptr;

        instance->frameworkInstance = instance->framework->instantiate (instance->framework, sampleRate, bundlePath, features);
        return instance->frameworkInstance != nullptr ? instance.release() : nullptr;
    }
    catch (...)
    {
        return nullptr;
    }
}

void connectPort (LV2_Handle instance, uint32_t port, void* data)
{
    guarded (instance).ports.connect (port, data);
}

void activate (LV2_Handle instance)
{
    auto& self = guarded (instance);
    if (self.framework->activate != nullptr)
        self.framework->activate (self.frameworkInstance);
}

void run (LV2_Handle instance, uint32_t numSamples)
{
    auto& self = guarded (instance);
    self.ports.run (*self.framework, self.frameworkInstance, numSamples);
}

void deactivate (LV2_Handle instance)
{
    auto& self = guarded (instance);
    if (self.framework->deactivate != nullptr)
        self.framework->deactivate (self.frameworkInstance);
}

void cleanup (LV2_Handle instance)
{
    std::unique_ptr<GuardedInstance> self (&guarded (instance));
    self->framework->cleanup (self->frameworkInstance);
}

//==============================================================================
// State save and restore, with the framework's own instance.

const LV2_State_Interface* frameworkState()
{
    const auto* framework = zel_framework_lv2_descriptor (0);
    return static_cast<const LV2_State_Interface*> (framework->extension_data (LV2_STATE__interface));
}

LV2_State_Status saveState (LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t flags, const LV2_Feature* const* features)
{
    try
    {
        return frameworkState()->save (guarded (instance).frameworkInstance, store, handle, flags, features);
    }
    catch (...)
    {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status restoreState (LV2_Handle instance, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, uint32_t flags, const LV2_Feature* const* features)
{
    try
    {
        return frameworkState()->restore (guarded (instance).frameworkInstance, retrieve, handle, flags, features);
    }
    catch (...)
    {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

// Only extensions known to be safe with a wrapped instance are offered; one
// the framework might add later would be handed our instance and misread it.
const void* extensionData (const char* uri)
{
    static const LV2_State_Interface state { saveState, restoreState };

    if (std::strcmp (uri, LV2_STATE__interface) == 0)
        return frameworkState() != nullptr ? &state : nullptr;
    if (std::strcmp (uri, kFrameworkDescriptionWriterUri) == 0)
        return zel_framework_lv2_descriptor (0)->extension_data (uri);
    return nullptr;
}

//==============================================================================
// The editor reaches the plug-in through the host's instance-access feature,
// which carries the instance the host got from us.

const void* frameworkInstanceOf (const void* hostInstance)
{
    const auto* instance = static_cast<const GuardedInstance*> (hostInstance);
    return instance != nullptr && instance->tag == kInstanceTag ? instance->frameworkInstance : hostInstance;
}

LV2UI_Handle instantiateUi (const LV2UI_Descriptor*, const char* pluginUri, const char* bundlePath, LV2UI_Write_Function write,
                            LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    try
    {
        std::vector<LV2_Feature> translated;
        for (auto* feature = features; feature != nullptr && *feature != nullptr; ++feature)
            translated.push_back (**feature);

        std::vector<const LV2_Feature*> list;
        for (auto& feature : translated)
        {
            if (std::strcmp (feature.URI, LV2_INSTANCE_ACCESS_URI) == 0)
                feature.data = const_cast<void*> (frameworkInstanceOf (feature.data));
            list.push_back (&feature);
        }
        list.push_back (nullptr);

        const auto* ui = zel_framework_lv2ui_descriptor (0);
        return ui->instantiate (ui, pluginUri, bundlePath, write, controller, widget, list.data());
    }
    catch (...)
    {
        return nullptr;
    }
}
} // namespace
} // namespace vo::plugins::zel::lv2

//==============================================================================
LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor (uint32_t index)
{
    using namespace vo::plugins::zel::lv2;

    if (index != 0)
        return nullptr;

    static const LV2_Descriptor descriptor { zel_framework_lv2_descriptor (0)->URI,
                                             instantiate,
                                             connectPort,
                                             activate,
                                             run,
                                             deactivate,
                                             cleanup,
                                             extensionData };
    return &descriptor;
}

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor (uint32_t index)
{
    using namespace vo::plugins::zel::lv2;

    if (index != 0)
        return nullptr;

    static const LV2UI_Descriptor descriptor = [] {
        auto copy = *zel_framework_lv2ui_descriptor (0);
        copy.instantiate = instantiateUi;
        return copy;
    }();
    return &descriptor;
}
