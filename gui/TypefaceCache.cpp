#include "TypefaceCache.h"

#include "diagnostics/DiagLog.h"

namespace vo::gui
{

namespace
{

constexpr const char* kFontExtension = ".ttf";

} // namespace

TypefaceCache::TypefaceCache()
    : TypefaceCache (embeddedFiles())
{
}

TypefaceCache::TypefaceCache (const EmbeddedFileList& files)
    : display (load (files, kDisplayFamily)),
      text (load (files, kTextFamily))
{
    // A build per editor opening would show as stutter; the log keeps count.
    vo::diagnostics::DiagLog::instance().log ("typeface cache BUILD (must stay rare - see vo_Typography)");
}

const EmbeddedFile* TypefaceCache::findFontFile (const EmbeddedFileList& files, const juce::StringArray& candidates)
{
    for (const auto& candidate : candidates)
        for (const auto& file : files)
        {
            const bool named = candidate.isEmpty() || file.fileName.contains (candidate);
            if (named && file.fileName.endsWith (kFontExtension) && file.data != nullptr)
                return &file;
        }
    return nullptr;
}

juce::Typeface::Ptr TypefaceCache::load (const EmbeddedFileList& files, const char* slotFamily)
{
    if (const auto* file = findFontFile (files, { kSharedFamily, slotFamily }))
        return juce::Typeface::createSystemTypefaceFor (file->data, file->size);
    return {};
}

juce::Font TypefaceCache::fontOn (const juce::Typeface::Ptr& typeface, float height)
{
    if (typeface == nullptr)
        return juce::Font (height);
    return juce::Font (typeface).withHeight (height);
}

juce::Font TypefaceCache::getDisplayFont (float height) const
{
    return fontOn (display, height);
}

juce::Font TypefaceCache::getTextFont (float height) const
{
    return fontOn (text, height);
}

} // namespace vo::gui
