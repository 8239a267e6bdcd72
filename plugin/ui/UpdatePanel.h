#pragma once

#include "plugin/ui/i18n/Table.h"
#include "plugin/ui/widgets/CapsuleButton.h"
#include "plugin/ui/widgets/RoundButton.h"
#include "plugin/update/Release.h"

#include "gui/Theme.h"
#include "gui/TypefaceCache.h"
#include "gui/melatonin/DropShadow.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace vo::plugins::zel
{

// The overlay through which the editor talks about updates: it dims the
// editor's content and shows a small card offering a newer release, or
// telling "up to date", "no connection" or "looking". It knows nothing of
// networking: the editor hands it a state and a release, and hears the
// user's decisions through the callbacks.
class UpdatePanel : public juce::Component
{
public:
    enum State
    {
        available = 0,
        upToDate = 1,
        noConnection = 2,
        looking = 3
    };

    // The card and its rows, in the panel's coordinates.
    struct Layout
    {
        juce::Rectangle<int> card, title, message, toggleRow, buttonRow;
    };

    static Layout layoutFor (int width, int height);

    explicit UpdatePanel (const vo::gui::Theme& theme);

    void setTexts (const i18n::Table& table);
    void setState (int newState);
    void setRelease (const upd::Release& newRelease);

    // The stored setting, shown at once; the callback is only for the user's flips.
    void setDontAsk (bool shouldNotAsk);

    // The editor's window corner: only the bottom corners are rounded.
    void setCornerRadius (float radius);

    int getState() const noexcept { return state; }
    bool getDontAsk() const noexcept { return dontAsk; }
    const upd::Release& getRelease() const noexcept { return release; }
    juce::String getMessage() const;

    std::function<void (const juce::String& installer)> onOpenLink;
    std::function<void (bool dontAsk)> onDontAskChanged;
    std::function<void()> onClose;

    void mouseDown (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void resized() override;

private:
    void close();
    void accept();
    void flipDontAsk();
    void layOutCapsules (juce::Rectangle<int> row);

    float cornerRadius = 0.0f;
    const vo::gui::Theme* theme;
    // Held for the panel's life, so painting never reloads the typefaces.
    juce::SharedResourcePointer<vo::gui::TypefaceCache> typefaces;
    melatonin::DropShadow cardShade;
    ui::CapsuleButton yesButton, noButton, closeButton;
    ui::RoundButton askButton;

    int state = looking;
    upd::Release release;
    bool dontAsk = false;
    juce::String titleText, upToDateText, noConnectionText, lookingText, availableFormat, dontAskText;
};

} // namespace vo::plugins::zel
