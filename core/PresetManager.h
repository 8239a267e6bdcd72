#pragma once

#include "FactoryPreset.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <map>
#include <vector>

namespace vo::core
{

// Lists, loads, saves and deletes factory presets and the user's ".vopreset"
// files, tracks the current preset and a snapshot of the values it was loaded
// or saved with, and broadcasts a change after every load, save and delete.
// Message thread only.
class PresetManager : public juce::ChangeBroadcaster
{
public:
    static constexpr const char* kFileExtension = ".vopreset";

    PresetManager (juce::AudioProcessorValueTreeState& state, const juce::String& productName,
                   std::vector<FactoryPreset> factoryPresets, const juce::String& vendorName);
    ~PresetManager() override;

    juce::StringArray getFactoryPresetNames() const;
    juce::StringArray getUserPresetNames() const;
    juce::StringArray getAllPresetNames() const;
    juce::String getCurrentPresetName() const { return currentName; }

    bool loadPreset (const juce::String& name);
    bool savePreset (const juce::String& name);
    void deletePreset (const juce::String& name);
    void loadAdjacentPreset (int step);

    juce::File getPresetFolder() const;

    const std::map<juce::String, float>& getValueSnapshot() const noexcept { return valueSnapshot; }
    int getLoadCounter() const noexcept { return loadCounter; }

    void setExtraStateType (const juce::String& type) { extraStateType = type; }
    const juce::String& getExtraStateType() const noexcept { return extraStateType; }
    void setUndoablePresetLoads (bool undoable) noexcept { undoablePresetLoads = undoable; }

private:
    const FactoryPreset* findFactoryPreset (const juce::String& name) const;
    juce::File getUserPresetFile (const juce::String& name) const;
    bool applyUserPresetTree (const juce::ValueTree& preset);
    void openUndoTransaction();
    void resetToDefaults();
    void setPlainValue (juce::RangedAudioParameter& parameter, float plainValue);
    void setNormalisedValue (juce::RangedAudioParameter& parameter, float normalisedValue);
    void copyExtraState (const juce::ValueTree& preset);
    void finishLoad (const juce::String& name);
    void rebuildValueSnapshot();
    bool hasUndoManager() const;

    juce::AudioProcessorValueTreeState& valueTreeState;
    juce::String productName;
    juce::String vendorName;
    std::vector<FactoryPreset> factoryPresets;
    juce::String currentName;
    int loadCounter = 0;
    juce::String extraStateType;
    std::map<juce::String, float> valueSnapshot;
    bool undoablePresetLoads = false;
};

} // namespace vo::core
