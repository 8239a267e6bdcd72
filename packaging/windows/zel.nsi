; The Windows x64 installer: puts the VST3 bundle into the common VST3 folder
; every host scans, the uninstaller and the licence texts into the program
; folder, and registers the uninstaller with Add/Remove Programs.
; Built by packaging/windows/build-installer, which defines:
;   NAME VENDOR VERSION VERSION4 WEBSITE  the release facts (VERSION4: a.b.c.0)
;   BUNDLE     staged folder of the bundle NAME.vst3
;   DOCS       staged folder of the licence and font credit texts
;   ICON OUTFILE

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "WordFunc.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"
!define BUNDLE_DIR "$COMMONFILES64\VST3\${NAME}.vst3"
; Exit code of a run that refused to replace a newer installed version.
!define EXIT_NEWER_INSTALLED 3

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${VENDOR}\${NAME}"
BrandingText "${VENDOR} - ${WEBSITE}"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey "ProductName" "${NAME}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${VENDOR}"
VIAddVersionKey "FileDescription" "${NAME} ${VERSION} installer"
VIAddVersionKey "LegalCopyright" "${VENDOR}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${DOCS}/LICENSE.txt"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Installing an older release over a newer one would silently downgrade
; every project that uses the plug-in: refuse, also when run with /S.
Function RefuseNewerInstalled
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
    ${If} $0 == ""
        Return
    ${EndIf}
    ${VersionCompare} "$0" "${VERSION}" $1
    ${If} $1 == 1
        MessageBox MB_OK|MB_ICONSTOP "${NAME} $0 is installed, which is newer than ${VERSION}.$\r$\nUninstall it first to install this version." /SD IDOK
        SetErrorLevel ${EXIT_NEWER_INSTALLED}
        Quit
    ${EndIf}
FunctionEnd

Function .onInit
    SetRegView 64
    Call RefuseNewerInstalled
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "${NAME}"
    ; A bundle left by an earlier version may hold files this one no longer has.
    RMDir /r "${BUNDLE_DIR}"
    SetOutPath "${BUNDLE_DIR}"
    File /r "${BUNDLE}/*"

    SetOutPath "$INSTDIR"
    File /r "${DOCS}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    Call RegisterUninstaller
SectionEnd

Function RegisterUninstaller
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${VENDOR}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${WEBSITE}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "${BUNDLE_DIR}" "/S=0K" $0 $1 $2
    ${GetSize} "$INSTDIR" "/S=0K" $3 $1 $2
    IntOp $0 $0 + $3
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
FunctionEnd

Section "Uninstall"
    RMDir /r "${BUNDLE_DIR}"
    ; Only what this installer put there: /D= may have named a shared folder.
    Delete "$INSTDIR\uninstall.exe"
    Delete "$INSTDIR\*.txt"
    RMDir /r "$INSTDIR\fonts"
    RMDir "$INSTDIR"
    ; The vendor folder goes only when no other product of ours is left in it.
    RMDir "$PROGRAMFILES64\${VENDOR}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
