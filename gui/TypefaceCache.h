#pragma once

#include "EmbeddedFile.h"

#include <juce_graphics/juce_graphics.h>

namespace vo::gui
{

// The two typefaces every text of the toolkit is set in, loaded once per
// process from the embedded fonts. Share it through
// juce::SharedResourcePointer<TypefaceCache>: loading fonts from memory is
// slow, so it must only happen when the last holder in the process has gone.
class TypefaceCache
{
public:
    // The family every build prefers for both slots, then each slot's own.
    static constexpr const char* kSharedFamily = "DuVaZovi";
    static constexpr const char* kDisplayFamily = "HankenGrotesk";
    static constexpr const char* kTextFamily = "Inter";

    // Loads both slots from this build's embedded files.
    TypefaceCache();

    // Loads both slots from the given files, in their order.
    explicit TypefaceCache (const EmbeddedFileList& files);

    // The first font file, candidate by candidate and file by file, whose
    // name contains the candidate (an empty candidate matches any) and ends
    // in ".ttf"; null when none has data.
    static const EmbeddedFile* findFontFile (const EmbeddedFileList& files, const juce::StringArray& candidates);

    // A font of the given height on a slot, or on the default sans-serif
    // face when the slot is empty.
    juce::Font getDisplayFont (float height) const;
    juce::Font getTextFont (float height) const;

    const juce::Typeface::Ptr& getDisplayTypeface() const noexcept { return display; }
    const juce::Typeface::Ptr& getTextTypeface() const noexcept { return text; }

private:
    static juce::Typeface::Ptr load (const EmbeddedFileList& files, const char* slotFamily);
    static juce::Font fontOn (const juce::Typeface::Ptr& typeface, float height);

    juce::Typeface::Ptr display;
    juce::Typeface::Ptr text;

    JUCE_DECLARE_NON_COPYABLE (TypefaceCache)
};

} // namespace vo::gui
