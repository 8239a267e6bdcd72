#include "CutMap.h"

namespace vo::tools
{

using vo::plugins::zel::bandCentreHz;
using vo::plugins::zel::kBandCount;

namespace
{
    constexpr int kRowHeight = 8;
    constexpr int kLeftMargin = 70;
    constexpr int kRightMargin = 20;
    constexpr int kTopMargin = 34;
    constexpr int kPanelGap = 30;
    constexpr int kBottomMargin = 34;
    constexpr int kMinPlotWidth = 400;
    constexpr int kMaxPlotWidth = 1600;
    constexpr float kDeepestCutDb = -30.0f;
    constexpr float kQuietestLevelDb = -60.0f;

    const juce::Colour kBackground { 0xff121212 };
    const juce::Colour kText { 0xffd8d2c4 };

    // 0 = nothing, 1 = full scale, on a dark-to-bright ramp.
    juce::Colour heat (float amount, juce::Colour hot)
    {
        amount = juce::jlimit (0.0f, 1.0f, amount);
        return kBackground.interpolatedWith (hot, amount);
    }

    juce::String hzLabel (float hz)
    {
        return hz < 1000.0f ? juce::String (juce::roundToInt (hz)) + " Hz" : juce::String (hz / 1000.0f, 1) + " kHz";
    }
}

void CutMap::addColumn (const Bands& cutDb, const Bands& levelDb)
{
    cut.push_back (cutDb);
    levels.push_back (levelDb);
}

juce::Image CutMap::draw (const juce::String& title) const
{
    const int columns = (int) std::max<size_t> (cut.size(), 1);
    const int plotWidth = juce::jlimit (kMinPlotWidth, kMaxPlotWidth, columns);
    const int panelHeight = kBandCount * kRowHeight;
    const int width = kLeftMargin + plotWidth + kRightMargin;
    const int height = kTopMargin + 2 * panelHeight + kPanelGap + kBottomMargin;

    juce::Image image (juce::Image::RGB, width, height, true);
    juce::Graphics g (image);
    g.fillAll (kBackground);
    g.setColour (kText);
    g.setFont (14.0f);
    g.drawText (title, kLeftMargin, 6, plotWidth, 20, juce::Justification::centredLeft);

    const int cutTop = kTopMargin;
    const int levelTop = kTopMargin + panelHeight + kPanelGap;
    const float columnWidth = (float) plotWidth / (float) columns;

    for (size_t c = 0; c < cut.size(); ++c)
    {
        const float x = (float) kLeftMargin + (float) c * columnWidth;
        for (int band = 0; band < kBandCount; ++band)
        {
            const float y = (float) ((kBandCount - 1 - band) * kRowHeight);
            g.setColour (heat (cut[c][(size_t) band] / kDeepestCutDb, juce::Colour (0xfff2e6c9)));
            g.fillRect (x, (float) cutTop + y, columnWidth + 0.5f, (float) kRowHeight);
            g.setColour (heat (1.0f - levels[c][(size_t) band] / kQuietestLevelDb, juce::Colour (0xffe8a33d)));
            g.fillRect (x, (float) levelTop + y, columnWidth + 0.5f, (float) kRowHeight);
        }
    }

    g.setFont (11.0f);
    g.setColour (kText);
    for (int band = 0; band < kBandCount; band += 4)
    {
        const int y = (kBandCount - 1 - band) * kRowHeight;
        const auto label = hzLabel (bandCentreHz (band));
        g.drawText (label, 2, cutTop + y - 2, kLeftMargin - 8, 12, juce::Justification::centredRight);
        g.drawText (label, 2, levelTop + y - 2, kLeftMargin - 8, 12, juce::Justification::centredRight);
    }
    g.drawText ("cut (black = none, bright = -30 dB)", kLeftMargin, cutTop + panelHeight + 4, plotWidth, 14, juce::Justification::centredLeft);
    g.drawText ("sidechain level", kLeftMargin, levelTop + panelHeight + 4, plotWidth / 2, 14, juce::Justification::centredLeft);

    const double totalSeconds = (double) cut.size() * columnSeconds;
    g.drawText ("0 s", kLeftMargin, height - 16, 60, 14, juce::Justification::centredLeft);
    g.drawText (juce::String (totalSeconds, 1) + " s", kLeftMargin + plotWidth - 60, height - 16, 60, 14, juce::Justification::centredRight);
    return image;
}

bool CutMap::writePng (const juce::File& file, const juce::String& title, juce::String& error) const
{
    const auto image = draw (title);
    juce::TemporaryFile temporary (file);
    {
        juce::FileOutputStream out (temporary.getFile());
        juce::PNGImageFormat png;
        if (! out.openedOk() || ! png.writeImageToStream (image, out))
        {
            error = "cannot write the plot " + file.getFullPathName();
            return false;
        }
        out.flush();
        if (out.getStatus().failed())
        {
            error = "cannot write the plot " + file.getFullPathName();
            return false;
        }
    }
    if (! temporary.overwriteTargetFileWithTemporary())
    {
        error = "cannot write the plot " + file.getFullPathName();
        return false;
    }
    return true;
}

} // namespace vo::tools
