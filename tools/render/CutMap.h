#pragma once

#include "plugin/engine/CarveEngine.h"

#include <juce_graphics/juce_graphics.h>

#include <array>
#include <vector>

namespace vo::tools
{

// What ZEL did over time: the cut per band and the sidechain level per band,
// sampled at a fixed interval while rendering, and its picture.
class CutMap
{
public:
    using Bands = std::array<float, vo::plugins::zel::kBandCount>;

    explicit CutMap (double secondsPerColumn = 0.02) : columnSeconds (secondsPerColumn) {}

    void addColumn (const Bands& cutDb, const Bands& levelDb);

    size_t size() const noexcept { return cut.size(); }
    double getSecondsPerColumn() const noexcept { return columnSeconds; }
    const std::vector<Bands>& getCut() const noexcept { return cut; }
    const std::vector<Bands>& getLevels() const noexcept { return levels; }

    // Cut map on top (time on x, bands on y, depth as colour), sidechain level below.
    juce::Image draw (const juce::String& title) const;

    // Writes the picture as PNG through a temporary file. One-line reason on failure.
    bool writePng (const juce::File& file, const juce::String& title, juce::String& error) const;

private:
    double columnSeconds;
    std::vector<Bands> cut;
    std::vector<Bands> levels;
};

} // namespace vo::tools
