#include "StateManager.h"

#include "NumberText.h"
#include "StateStreamCheck.h"

#include <cmath>

namespace vo::core
{

namespace
{
    const juce::Identifier kTreeType { "PARAMS" };
    const juce::Identifier kStateVersion { "stateVersion" };
    const juce::Identifier kEditorScale { "editorScale" };
    const juce::Identifier kParamType { "PARAM" };
    const juce::Identifier kId { "id" };
    const juce::Identifier kValue { "value" };
}

StateManager::StateManager (juce::AudioProcessor& processor, int version,
                            juce::AudioProcessorValueTreeState::ParameterLayout layout)
    : stateVersion (version),
      valueTreeState (processor, &undoManager, kTreeType, std::move (layout))
{
}

StateManager::~StateManager() = default;

void StateManager::migrateState (juce::ValueTree&, int)
{
}

juce::RangedAudioParameter& StateManager::param (const juce::String& id)
{
    if (auto* p = valueTreeState.getParameter (id))
        return *p;

    if (missingParameter == nullptr)
        missingParameter = std::make_unique<juce::AudioParameterFloat> (
            juce::ParameterID { "__missing__", 1 }, "Missing", juce::NormalisableRange<float> (0.0f, 1.0f), 0.0f);

    return *missingParameter;
}

void StateManager::flushToTree()
{
    if (undoEnabled)
        valueTreeState.copyState();
}

void StateManager::beginTransaction()
{
    if (! undoEnabled)
        return;

    flushToTree();
    undoManager.beginNewTransaction();
}

void StateManager::beginTransactionNoFlush()
{
    undoManager.beginNewTransaction();
}

bool StateManager::undo()
{
    flushToTree();
    return undoManager.undo();
}

bool StateManager::redo()
{
    flushToTree();
    return undoManager.redo();
}

bool StateManager::canUndo() const
{
    return undoManager.canUndo();
}

bool StateManager::canRedo() const
{
    return undoManager.canRedo();
}

void StateManager::storeSlot (int slot)
{
    slots[slot <= 0 ? 0 : 1] = valueTreeState.copyState().createCopy();
}

void StateManager::switchToSlot (int target)
{
    target = target <= 0 ? 0 : 1;
    if (target == currentSlot)
        return;

    storeSlot (currentSlot);

    if (slots[target].isValid())
        valueTreeState.replaceState (slots[target].createCopy());

    currentSlot = target;
}

void StateManager::writeState (juce::MemoryBlock& destination)
{
    auto copy = valueTreeState.copyState();
    copy.setProperty (kStateVersion, stateVersion, nullptr);
    copy.setProperty (kEditorScale, (double) editorScale.load(), nullptr);

    destination.reset();
    juce::MemoryOutputStream out (destination, false);
    copy.writeToStream (out);
    out.flush();
    destination.setSize (out.getDataSize());
}

bool StateManager::readState (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= 0)
        return false;
    if (! StateStreamCheck::isWellFormed (data, (size_t) sizeInBytes))
        return false;

    auto tree = juce::ValueTree::readFromData (data, (size_t) sizeInBytes);
    if (! tree.isValid() || ! tree.hasType (valueTreeState.state.getType()))
        return false;

    const int version = wholeNumberOr (tree.getProperty (kStateVersion, 1), 1);
    if (version < stateVersion)
        migrateState (tree, version);

    const juce::var scale = tree.getProperty (kEditorScale, 1.0);
    const double scaleValue = isFiniteNumber (scale) ? numberOf (scale) : 1.0;
    const bool scaleFits = scaleValue > 0.0 && scaleValue <= (double) std::numeric_limits<float>::max();
    editorScale.store (scaleFits ? (float) scaleValue : 1.0f);

    sanitiseParameterValues (tree);
    valueTreeState.replaceState (tree);
    return true;
}

// A stored value that is not a finite number (damaged file, hand edit) would
// reach the audio path as NaN; such parameters start from their default.
void StateManager::sanitiseParameterValues (juce::ValueTree& tree)
{
    for (auto child : tree)
    {
        if (! child.hasType (kParamType) || ! child.hasProperty (kValue))
            continue;

        auto* parameter = valueTreeState.getParameter (child[kId].toString());
        if (parameter == nullptr)
            continue;

        if (! isFiniteNumber (child[kValue]))
        {
            child.setProperty (kValue, parameter->convertFrom0to1 (parameter->getDefaultValue()), nullptr);
            continue;
        }

        // Out-of-range values are clamped here, in double, because the
        // framework narrows them to float first and 1e300 has no float.
        // A text is stored back as the number it holds, so the framework
        // never parses it itself.
        const auto& range = parameter->getNormalisableRange();
        const double stored = numberOf (child[kValue]);
        if (child[kValue].isString() || stored < (double) range.start || stored > (double) range.end)
            child.setProperty (kValue, juce::jlimit ((double) range.start, (double) range.end, stored), nullptr);
    }
}

} // namespace vo::core
