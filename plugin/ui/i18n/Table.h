#pragma once

// Every text ZEL's own editor shows, for one language. The fields are constant,
// zero-terminated UTF-8 strings; code that picks a text generically holds a
// pointer to a member, so the lookup goes to whichever table is current.
namespace vo::plugins::zel::i18n
{

struct Table
{
    // Stored in "lang.txt"; two lower-case letters.
    const char* code;
    const char* languageName;
    const char* menuLanguage;

    // Captions, lower case.
    const char* labelAmount;
    const char* labelLowCut;
    const char* labelHighCut;
    const char* labelFreeze;
    const char* labelAttack;
    const char* labelRelease;
    const char* labelPan;
    const char* labelScAudition;
    const char* labelSmooth;
    const char* labelAdvanced;
    const char* labelLR;
    const char* labelMS;
    const char* labelMode;

    // Short tooltips, lower case.
    const char* tipAmount;
    const char* tipLowCut;
    const char* tipHighCut;
    const char* tipFreeze;
    const char* tipAttack;
    const char* tipRelease;
    const char* tipMode;
    const char* tipPan;
    const char* tipScAudition;
    const char* tipSmooth;
    const char* tipAdvanced;
    const char* tipSpectrum;
    const char* tipBypass;

    // Long help in the status line, whole sentences.
    const char* helpAmount;
    const char* helpLowCut;
    const char* helpHighCut;
    const char* helpFreeze;
    const char* helpAttack;
    const char* helpRelease;
    const char* helpModeLR;
    const char* helpModeMS;
    const char* helpPan;
    const char* helpScAudition;
    const char* helpSmooth;
    const char* helpAdvanced;
    const char* helpSpectrum;
    const char* helpBypass;
    const char* helpPresetBack;
    const char* helpPresetNext;
    const char* helpPresetList;
    const char* helpUndo;
    const char* helpHelp;
    const char* helpSettings;

    // The spectrum view's legend and read-out words.
    const char* legendSidechain;
    const char* legendCut;
    const char* readoutSc;
    const char* readoutCut;

    // Status lines, lower case.
    const char* statusListening;
    const char* statusNoBus;
    const char* statusFrozen;
    const char* statusAudition;
    const char* statusNoSignal;
    const char* summary;

    // The update panel and its menu items. msgUpdateAvailable holds one "%s"
    // for the version.
    const char* buttonClose;
    const char* menuCheckForUpdates;
    const char* menuUpdateTo;
    const char* updateTitle;
    const char* msgUpdateAvailable;
    const char* msgUpToDate;
    const char* msgNoConnection;
    const char* msgLooking;
    const char* buttonYes;
    const char* buttonNo;
    const char* toggleDoNotAsk;
};

} // namespace vo::plugins::zel::i18n
