#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <memory>

namespace vo::core
{

// Holds an instance's editable state: the parameter tree with its undo history,
// the editor scale and the two A/B comparison slots. Writes and reads the
// plug-in state. Message thread only, except where noted.
class StateManager
{
public:
    static constexpr int kUndoMaxUnits = 30720;
    static constexpr int kUndoMinTransactions = 30;

    StateManager (juce::AudioProcessor& processor, int stateVersion,
                  juce::AudioProcessorValueTreeState::ParameterLayout layout);
    virtual ~StateManager();

    // Upgrade hook for states written by older versions; the base keeps them as they are.
    virtual void migrateState (juce::ValueTree& tree, int fromVersion);

    // Never fails: an unknown id yields the inert parameter "__missing__".
    juce::RangedAudioParameter& param (const juce::String& id);

    juce::UndoManager& getUndoManager() noexcept { return undoManager; }
    juce::AudioProcessorValueTreeState& getValueTreeState() noexcept { return valueTreeState; }

    void setUndoEnabled (bool enabled) noexcept { undoEnabled = enabled; }
    bool isUndoEnabled() const noexcept { return undoEnabled; }

    void flushToTree();
    void beginTransaction();
    void beginTransactionNoFlush();
    // Flush pending gestures, then step the history; false when there was
    // nothing to undo or redo.
    bool undo();
    bool redo();
    bool canUndo() const;
    bool canRedo() const;

    void storeSlot (int slot);
    void switchToSlot (int slot);
    int getCurrentSlot() const noexcept { return currentSlot; }

    float getEditorScale() const noexcept { return editorScale.load(); }
    void setEditorScale (float scale) noexcept { editorScale.store (scale); }

    int getStateVersion() const noexcept { return stateVersion; }

    // Serialises the parameter tree, replacing the block's content.
    void writeState (juce::MemoryBlock& destination);

    // Replaces the live state by the given stream. Returns false, changing
    // nothing, for empty, damaged or foreign data.
    bool readState (const void* data, int sizeInBytes);

private:
    void sanitiseParameterValues (juce::ValueTree& tree);

    const int stateVersion;
    juce::UndoManager undoManager { kUndoMaxUnits, kUndoMinTransactions };
    juce::AudioProcessorValueTreeState valueTreeState;
    std::atomic<float> editorScale { 1.0f };
    std::unique_ptr<juce::AudioParameterFloat> missingParameter;
    juce::ValueTree slots[2];
    int currentSlot = 0;
    bool undoEnabled = false;
};

} // namespace vo::core
