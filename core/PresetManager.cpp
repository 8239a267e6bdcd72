#include "PresetManager.h"

#include "NumberText.h"
#include "Utf8Check.h"
#include "XmlTextCheck.h"
#include "platform/Platform.h"

#include <cmath>
#include <cstring>

namespace vo::core
{

namespace
{
    constexpr float kValueTolerance = 0.000001f;
    const juce::String kBypassId { "bypass" };
    const juce::Identifier kId { "id" };
    const juce::Identifier kValue { "value" };

    // Our presets are a few kilobytes and three levels deep; anything far
    // beyond that is not one of ours.
    constexpr juce::int64 kMaxPresetFileBytes = 1 << 20;
    constexpr int kMaxPresetDepth = 16;

    juce::RangedAudioParameter* asRanged (juce::AudioProcessorParameter* p)
    {
        return dynamic_cast<juce::RangedAudioParameter*> (p);
    }

    // The file's text as well-formed UTF-8 (a byte-order mark is dropped), or
    // nothing when it is too big, not UTF-8 or beyond what the reader handles.
    std::unique_ptr<juce::XmlElement> readPresetXml (const juce::File& file)
    {
        if (file.getSize() > kMaxPresetFileBytes)
            return nullptr;

        juce::MemoryBlock bytes;
        if (! file.loadFileAsData (bytes) || bytes.getSize() > (size_t) kMaxPresetFileBytes)
            return nullptr;

        auto* text = static_cast<const char*> (bytes.getData());
        auto size = bytes.getSize();
        if (size >= 3 && std::memcmp (text, "\xef\xbb\xbf", 3) == 0)
        {
            text += 3;
            size -= 3;
        }

        if (size == 0 || ! Utf8Check::isWellFormed (text, size) || ! XmlTextCheck::isWithinReaderLimits (text, size, kMaxPresetDepth))
            return nullptr;

        return juce::XmlDocument::parse (juce::String::fromUTF8 (text, (int) size));
    }
}

PresetManager::PresetManager (juce::AudioProcessorValueTreeState& state, const juce::String& product,
                              std::vector<FactoryPreset> presets, const juce::String& vendor)
    : valueTreeState (state),
      productName (product),
      vendorName (vendor),
      factoryPresets (std::move (presets))
{
    rebuildValueSnapshot();
}

PresetManager::~PresetManager() = default;

juce::File PresetManager::getPresetFolder() const
{
    const auto appData = platform::applicationDataFolder();
    if (appData.empty())
        return {};

    return juce::File (appData).getChildFile (vendorName).getChildFile (productName).getChildFile ("Presets");
}

juce::StringArray PresetManager::getFactoryPresetNames() const
{
    juce::StringArray names;
    for (const auto& preset : factoryPresets)
        names.add (preset.name);
    return names;
}

juce::StringArray PresetManager::getUserPresetNames() const
{
    juce::StringArray names;
    const auto folder = getPresetFolder();
    if (! folder.isDirectory())
        return names;

    for (const auto& file : folder.findChildFiles (juce::File::findFiles, false, juce::String ("*") + kFileExtension))
        names.add (file.getFileNameWithoutExtension());

    std::sort (names.begin(), names.end(),
               [] (const juce::String& a, const juce::String& b) { return a.compareNatural (b, false) < 0; });
    return names;
}

juce::StringArray PresetManager::getAllPresetNames() const
{
    auto names = getFactoryPresetNames();
    names.addArray (getUserPresetNames());
    return names;
}

const FactoryPreset* PresetManager::findFactoryPreset (const juce::String& name) const
{
    for (const auto& preset : factoryPresets)
        if (preset.name == name)
            return &preset;
    return nullptr;
}

// Empty when the name has no legal file name (for example only removed
// characters): such a name would otherwise become a hidden, nameless file.
juce::File PresetManager::getUserPresetFile (const juce::String& name) const
{
    const auto folder = getPresetFolder();
    const auto legalName = juce::File::createLegalFileName (name);
    if (folder == juce::File() || legalName.isEmpty())
        return {};

    return folder.getChildFile (legalName + kFileExtension);
}

bool PresetManager::loadPreset (const juce::String& name)
{
    if (const auto* preset = findFactoryPreset (name))
    {
        openUndoTransaction();
        resetToDefaults();

        for (const auto& value : preset->values)
            if (auto* parameter = valueTreeState.getParameter (value.id))
                setPlainValue (*parameter, value.value);

        finishLoad (name);
        return true;
    }

    const auto file = getUserPresetFile (name);
    if (file == juce::File() || ! file.existsAsFile())
        return false;

    const auto xml = readPresetXml (file);
    if (xml == nullptr)
        return false;

    const auto tree = juce::ValueTree::fromXml (*xml);
    if (! tree.isValid())
        return false;

    openUndoTransaction();
    resetToDefaults();
    applyUserPresetTree (tree);
    copyExtraState (tree);
    finishLoad (name);
    return true;
}

bool PresetManager::applyUserPresetTree (const juce::ValueTree& preset)
{
    for (const auto& child : preset)
    {
        const auto id = child[kId].toString();
        if (id.isEmpty() || id == kBypassId || ! child.hasProperty (kValue))
            continue;

        // A damaged value keeps the default the reset just gave it.
        const auto& value = child[kValue];
        if (! isFiniteNumber (value))
            continue;

        if (auto* parameter = valueTreeState.getParameter (id))
        {
            // Clamped in double: 1e300 has no float.
            const auto& range = parameter->getNormalisableRange();
            setPlainValue (*parameter, (float) juce::jlimit ((double) range.start, (double) range.end, numberOf (value)));
        }
    }
    return true;
}

void PresetManager::copyExtraState (const juce::ValueTree& preset)
{
    if (extraStateType.isEmpty())
        return;

    const auto extra = preset.getChildWithName (extraStateType);
    if (! extra.isValid())
        return;

    auto& liveTree = valueTreeState.state;
    auto existing = liveTree.getChildWithName (extraStateType);
    if (! existing.isValid())
    {
        liveTree.appendChild (extra.createCopy(), nullptr);
        return;
    }

    existing.copyPropertiesFrom (extra, nullptr);
    existing.removeAllChildren (nullptr);
    for (const auto& grandChild : extra)
        existing.appendChild (grandChild.createCopy(), nullptr);
}

bool PresetManager::hasUndoManager() const
{
    return valueTreeState.undoManager != nullptr;
}

void PresetManager::openUndoTransaction()
{
    if (! undoablePresetLoads || ! hasUndoManager())
        return;

    valueTreeState.copyState();
    valueTreeState.undoManager->beginNewTransaction ("preset");
}

void PresetManager::resetToDefaults()
{
    for (auto* p : valueTreeState.processor.getParameters())
    {
        auto* parameter = asRanged (p);
        if (parameter == nullptr || parameter->getParameterID() == kBypassId)
            continue;

        setNormalisedValue (*parameter, parameter->getDefaultValue());
    }
}

void PresetManager::setPlainValue (juce::RangedAudioParameter& parameter, float plainValue)
{
    const auto& range = parameter.getNormalisableRange();
    setNormalisedValue (parameter, range.convertTo0to1 (range.snapToLegalValue (plainValue)));
}

void PresetManager::setNormalisedValue (juce::RangedAudioParameter& parameter, float normalisedValue)
{
    if (std::abs (parameter.getValue() - normalisedValue) <= kValueTolerance)
        return;

    parameter.beginChangeGesture();
    parameter.setValueNotifyingHost (normalisedValue);
    parameter.endChangeGesture();
}

void PresetManager::finishLoad (const juce::String& name)
{
    if (undoablePresetLoads && hasUndoManager())
        valueTreeState.copyState();

    currentName = name;
    ++loadCounter;
    rebuildValueSnapshot();
    sendChangeMessage();
}

bool PresetManager::savePreset (const juce::String& name)
{
    const auto file = getUserPresetFile (name);
    if (file == juce::File() || ! file.getParentDirectory().createDirectory())
        return false;

    auto copy = valueTreeState.copyState();
    for (int i = copy.getNumChildren(); --i >= 0;)
        if (copy.getChild (i)[kId].toString() == kBypassId)
            copy.removeChild (i, nullptr);

    const auto xml = copy.createXml();
    if (xml == nullptr)
        return false;

    juce::MemoryOutputStream text;
    xml->writeTo (text);

    // Write beside the target and move over it, so a failed or partial write
    // never destroys the preset that was there.
    juce::TemporaryFile temporary (file);
    {
        juce::FileOutputStream out (temporary.getFile());
        if (! out.openedOk() || ! out.write (text.getData(), text.getDataSize()))
            return false;
        out.flush();
        if (out.getStatus().failed())
            return false;
    }
    if (temporary.getFile().getSize() != (juce::int64) text.getDataSize()
        || ! temporary.overwriteTargetFileWithTemporary())
        return false;

    currentName = name;
    rebuildValueSnapshot();
    sendChangeMessage();
    return true;
}

void PresetManager::deletePreset (const juce::String& name)
{
    if (findFactoryPreset (name) != nullptr)
        return;

    const auto file = getUserPresetFile (name);
    if (file != juce::File())
        file.deleteFile();

    if (currentName == name)
        currentName = {};

    sendChangeMessage();
}

void PresetManager::loadAdjacentPreset (int step)
{
    const auto names = getAllPresetNames();
    const int count = names.size();
    if (count == 0)
        return;

    const int index = names.indexOf (currentName);
    const int target = index < 0 ? 0 : ((count + index + step) % count + count) % count;
    loadPreset (names[target]);
}

void PresetManager::rebuildValueSnapshot()
{
    valueSnapshot.clear();
    for (auto* p : valueTreeState.processor.getParameters())
        if (auto* parameter = asRanged (p))
            valueSnapshot[parameter->getParameterID()] = parameter->getValue();
}

} // namespace vo::core
