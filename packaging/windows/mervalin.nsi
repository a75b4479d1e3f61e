; The Windows installer of Mervalin. It installs for the current user only,
; into %LOCALAPPDATA%\Programs\Mervalin, so it needs no administrator rights;
; it adds a Start-menu shortcut and registers its uninstaller under HKCU.
;
; Made by the build's target mervalin-installer, which passes:
;   VERSION, VERSION_MAJOR, VERSION_MINOR, VERSION_PATCH   from project()
;   PROGRAM   mervalin.exe       README   README.txt       LICENSE   LICENSE.txt
;   ICON      mervalin.ico       OUTFILE  the installer to write

; A 64-bit installer for the 64-bit program: Windows itself turns it away on
; a 32-bit system, before it changes anything.
Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS Win10
SetCompressor /SOLID lzma

!macro Require NAME
  !ifndef ${NAME}
    !error "${NAME} is not defined: make the installer with the mervalin-installer target of the windows build"
  !endif
!macroend
!insertmacro Require VERSION
!insertmacro Require VERSION_MAJOR
!insertmacro Require VERSION_MINOR
!insertmacro Require VERSION_PATCH
!insertmacro Require PROGRAM
!insertmacro Require README
!insertmacro Require LICENSE
!insertmacro Require ICON
!insertmacro Require OUTFILE

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mervalin"

Name "Mervalin"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Mervalin"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Mervalin ${VERSION}"

VIProductVersion "${VERSION_MAJOR}.${VERSION_MINOR}.${VERSION_PATCH}.0"
VIFileVersion "${VERSION_MAJOR}.${VERSION_MINOR}.${VERSION_PATCH}.0"
VIAddVersionKey /LANG=0 "ProductName" "Mervalin"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Mervalin ${VERSION} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "The Mervalin developers"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright 2026 The Mervalin developers (MIT)"

!include "MUI2.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\mervalin.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; Bulgarian first: it is the language of a system whose own language is
; neither of the two.
!insertmacro MUI_LANGUAGE "Bulgarian"
!insertmacro MUI_LANGUAGE "English"

LangString ShortcutName ${LANG_BULGARIAN} "Мервалин"
LangString ShortcutName ${LANG_ENGLISH} "Mervalin"
LangString ShortcutDescription ${LANG_BULGARIAN} "Относително тегло на металите"
LangString ShortcutDescription ${LANG_ENGLISH} "Relative weight of metals"

Section "Mervalin" SecProgram
  SectionIn RO
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "/oname=mervalin.exe" "${PROGRAM}"
  File "/oname=README.txt" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; A shortcut of the other language, left by an earlier installation in
  ; that language, would stay beside this one.
  Delete "$SMPROGRAMS\Мервалин.lnk"
  Delete "$SMPROGRAMS\Mervalin.lnk"
  CreateShortCut "$SMPROGRAMS\$(ShortcutName).lnk" "$INSTDIR\mervalin.exe" "" \
      "$INSTDIR\mervalin.exe" 0 SW_SHOWNORMAL "" "$(ShortcutDescription)"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "$(ShortcutName)"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\mervalin.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Mervalin developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "https://www.mervalin.example/"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Мервалин.lnk"
  Delete "$SMPROGRAMS\Mervalin.lnk"
  Delete "$INSTDIR\mervalin.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: anything the user put there stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
