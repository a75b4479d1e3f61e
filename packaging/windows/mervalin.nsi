; The Windows installer of Mervalin. By default it installs for the current
; user only, into %LOCALAPPDATA%\Programs\Mervalin, so it needs no
; administrator rights; it adds a Start-menu shortcut and registers its
; uninstaller under HKCU.
;
; For all users of the computer (/ALLUSERS, or the choice on its second
; page), it installs into Program Files\Mervalin, puts the shortcut into the
; all-users Start menu and registers under HKLM. That needs administrator
; rights, which the installer does not ask for itself (it stays asInvoker, so
; a teacher without them is never asked): a school's deployment tool runs it
; elevated or as SYSTEM. Without them, /ALLUSERS ends with exit code 740
; (ERROR_ELEVATION_REQUIRED) and changes nothing.
;
;   mervalin-X.Y.Z-setup.exe /S                  silently, for the current user
;   mervalin-X.Y.Z-setup.exe /S /ALLUSERS        silently, for all users
;   "C:\Program Files\Mervalin\uninstall.exe" /S  removes it again
;
;
; One installer for every Windows from 7 SP1 on: a 32-bit program itself, it
; carries both builds of Mervalin and installs the 64-bit one on 64-bit
; Windows and the 32-bit one elsewhere. It refuses, changing nothing:
;   - a Windows older than 7 SP1, with exit code 1150
;     (ERROR_OLD_WIN_VERSION);
;   - to go over a newer version of Mervalin installed the same way, with
;     exit code 1603, as the .msi package does.
;
; Made by the 64-bit build's target mervalin-installer
; (cmake/MakeInstaller.cmake), which passes:
;   VERSION, VERSION_MAJOR, VERSION_MINOR, VERSION_PATCH   from project()
;   VENDOR, COPYRIGHT   the maker, from the top-level CMakeLists.txt
;   PROGRAM_X64, PROGRAM_X86   the two builds' mervalin.exe
;   README    README.txt         LICENSE  LICENSE.txt
;   ICON      mervalin.ico       OUTFILE  the installer to write

Target x86-unicode
ManifestDPIAware true
ManifestSupportedOS all
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
!insertmacro Require VENDOR
!insertmacro Require COPYRIGHT
!insertmacro Require PROGRAM_X64
!insertmacro Require PROGRAM_X86
!insertmacro Require README
!insertmacro Require LICENSE
!insertmacro Require ICON
!insertmacro Require OUTFILE

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mervalin"
; The UpgradeCode of packaging/windows/mervalin.wxs: the .msi package
; installs into the same Program Files\Mervalin.
!define MSI_UPGRADE_CODE "{FC40B3E8-37A7-461C-B6C6-85C331D5034B}"

Name "Mervalin"
OutFile "${OUTFILE}"
RequestExecutionLevel user
; No InstallDir: $INSTDIR is then empty in .onInit unless /D= gave it, and
; .onInit chooses the folder after the mode.
BrandingText "Mervalin ${VERSION}"

VIProductVersion "${VERSION_MAJOR}.${VERSION_MINOR}.${VERSION_PATCH}.0"
VIFileVersion "${VERSION_MAJOR}.${VERSION_MINOR}.${VERSION_PATCH}.0"
VIAddVersionKey /LANG=0 "ProductName" "Mervalin"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Mervalin ${VERSION} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "${VENDOR}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${COPYRIGHT}"

!include "MUI2.nsh"
!include "nsDialogs.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WordFunc.nsh"
!include "WinVer.nsh"
!include "x64.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\mervalin.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
Page custom UsersPage UsersPageLeave
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
LangString UsersTitle ${LANG_BULGARIAN} "За кого да се инсталира"
LangString UsersTitle ${LANG_ENGLISH} "Choose users"
LangString UsersSubtitle ${LANG_BULGARIAN} "Изберете дали Мервалин да е само за вас, или за всеки, който работи на този компютър."
LangString UsersSubtitle ${LANG_ENGLISH} "Choose whether Mervalin is for you alone or for everyone who uses this computer."
LangString UsersJustMe ${LANG_BULGARIAN} "Само за мен (не са нужни права на администратор)"
LangString UsersJustMe ${LANG_ENGLISH} "Just for me (no administrator rights needed)"
LangString UsersEveryone ${LANG_BULGARIAN} "За всички потребители на компютъра, в Program Files (нужни са права на администратор)"
LangString UsersEveryone ${LANG_ENGLISH} "For all users of this computer, into Program Files (needs administrator rights)"
LangString UsersNotAdmin ${LANG_BULGARIAN} "За да инсталирате за всички потребители, затворете инсталатора и го стартирайте отново с права на администратор."
LangString UsersNotAdmin ${LANG_ENGLISH} "To install for all users, close the installer and start it again with administrator rights."
LangString NeedAdmin ${LANG_BULGARIAN} "Инсталирането за всички потребители изисква права на администратор."
LangString NeedAdmin ${LANG_ENGLISH} "Installing for all users needs administrator rights."
LangString MsiInstalled ${LANG_BULGARIAN} "Мервалин вече е инсталиран за всички потребители от пакета .msi. Обновявайте го с по-нов пакет .msi или първо го премахнете."
LangString MsiInstalled ${LANG_ENGLISH} "Mervalin is already installed for all users from its .msi package. Update it with a newer .msi package, or remove that first."
LangString UninstallNeedsAdmin ${LANG_BULGARIAN} "Мервалин е инсталиран за всички потребители; премахването му изисква права на администратор."
LangString UninstallNeedsAdmin ${LANG_ENGLISH} "Mervalin is installed for all users; removing it needs administrator rights."

; In both languages at once, whichever the system speaks: these stop the
; installation before it begins.
!define OLD_WINDOWS "Мервалин работи на Windows 7 със Service Pack 1 и по-нови версии, а на този компютър Windows е по-стар. Нищо не е инсталирано.$\r$\n$\r$\nMervalin runs on Windows 7 with Service Pack 1 and later, and this computer has an older Windows. Nothing was installed."
!define NEWER_INSTALLED "На компютъра вече има по-нова версия на Мервалин ($0). Нищо не е променено.$\r$\n$\r$\nA newer version of Mervalin ($0) is already installed. Nothing was changed."

; 1 when installing (or uninstalling) for all users, 0 for the current user.
Var AllUsers
; The folder /D= gave, or empty.
Var GivenDir
Var UsersJustMeButton
Var UsersEveryoneButton

!macro IsAdmin RESULT
  ; "Admin" only in an elevated process: UAC leaves an administrator's
  ; ordinary processes without the rights.
  UserInfo::GetAccountType
  Pop ${RESULT}
!macroend

; The folder and the shell folders ($SMPROGRAMS, and SHCTX for the registry)
; of the chosen mode. An earlier installation of the same mode keeps its
; folder.
Function UseMode
  ${If} $AllUsers == 1
    SetShellVarContext all
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} ${RunningX64}
      StrCpy $1 "$PROGRAMFILES64\Mervalin"
    ${Else}
      StrCpy $1 "$PROGRAMFILES\Mervalin"
    ${EndIf}
  ${Else}
    SetShellVarContext current
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    StrCpy $1 "$LOCALAPPDATA\Programs\Mervalin"
  ${EndIf}
  ${If} $GivenDir != ""
    StrCpy $INSTDIR $GivenDir
  ${ElseIf} $0 != ""
    StrCpy $INSTDIR $0
  ${Else}
    StrCpy $INSTDIR $1
  ${EndIf}
FunctionEnd

; For all users only with administrator rights, and not over the .msi
; package's installation, whose files are in the same folder: either
; uninstaller would then take the other's files away.
Function CheckAllUsers
  !insertmacro IsAdmin $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "$(NeedAdmin)" /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
  System::Call 'msi::MsiEnumRelatedProductsW(w "${MSI_UPGRADE_CODE}", i 0, i 0, w .r1) i .r0'
  ${If} $0 == 0
    MessageBox MB_OK|MB_ICONSTOP "$(MsiInstalled)" /SD IDOK
    ; ERROR_PRODUCT_VERSION: another version of this product is installed.
    SetErrorLevel 1638
    Quit
  ${EndIf}
FunctionEnd

; Refuses a Windows older than 7 SP1, where the program cannot start.
Function RefuseWindows
  MessageBox MB_OK|MB_ICONSTOP "${OLD_WINDOWS}" /SD IDOK
  SetErrorLevel 1150
  Quit
FunctionEnd

Function CheckWindows
  ${IfNot} ${AtLeastWin7}
    Call RefuseWindows
  ${ElseIf} ${IsWin7}
  ${AndIfNot} ${AtLeastServicePack} 1
    Call RefuseWindows
  ${EndIf}
FunctionEnd

; Refuses to go over a newer version in the chosen mode, as the .msi does.
Function CheckDowngrade
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $0 != ""
    ${VersionCompare} $0 "${VERSION}" $1
    ${If} $1 == 1
      MessageBox MB_OK|MB_ICONSTOP "${NEWER_INSTALLED}" /SD IDOK
      SetErrorLevel 1603
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function .onInit
  Call CheckWindows
  ; The 64-bit registry, where the 64-bit program and the .msi package
  ; register, rather than the 32-bit one Windows shows a 32-bit installer.
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  StrCpy $GivenDir $INSTDIR
  StrCpy $AllUsers 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
    Call CheckAllUsers
  ${EndIf}
  Call UseMode
  Call CheckDowngrade
FunctionEnd

Function UsersPage
  !insertmacro MUI_HEADER_TEXT "$(UsersTitle)" "$(UsersSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 0 100% 24u "$(UsersJustMe)"
  Pop $UsersJustMeButton
  ${NSD_AddStyle} $UsersJustMeButton ${WS_GROUP}
  ${NSD_CreateRadioButton} 0 28u 100% 24u "$(UsersEveryone)"
  Pop $UsersEveryoneButton
  ${If} $AllUsers == 1
    ${NSD_Check} $UsersEveryoneButton
  ${Else}
    ${NSD_Check} $UsersJustMeButton
  ${EndIf}
  !insertmacro IsAdmin $0
  ${If} $0 != "Admin"
    EnableWindow $UsersEveryoneButton 0
    ${NSD_CreateLabel} 0 60u 100% 36u "$(UsersNotAdmin)"
    Pop $0
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function UsersPageLeave
  ${NSD_GetState} $UsersEveryoneButton $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers 1
    Call CheckAllUsers
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  Call UseMode
  Call CheckDowngrade
FunctionEnd

Section "Mervalin" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "/oname=mervalin.exe" "${PROGRAM_X64}"
  ${Else}
    File "/oname=mervalin.exe" "${PROGRAM_X86}"
  ${EndIf}
  File "/oname=README.txt" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; A shortcut of the other language, left by an earlier installation in
  ; that language, would stay beside this one.
  Delete "$SMPROGRAMS\Мервалин.lnk"
  Delete "$SMPROGRAMS\Mervalin.lnk"
  CreateShortCut "$SMPROGRAMS\$(ShortcutName).lnk" "$INSTDIR\mervalin.exe" "" \
      "$INSTDIR\mervalin.exe" 0 SW_SHOWNORMAL "" "$(ShortcutDescription)"

  ; SHCTX is HKLM for all users and HKCU for the current user, after
  ; SetShellVarContext in UseMode.
  ; The .msi package's name and publisher, whatever the language: an
  ; inventory finds both by one name.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Мервалин"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\mervalin.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${VENDOR}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "URLInfoAbout" "https://www.mervalin.example/"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The uninstaller serves the installation it sits in: for all users when
; HKLM's entry names its folder, otherwise for the current user.
Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 == $INSTDIR
    !insertmacro IsAdmin $1
    ${If} $1 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "$(UninstallNeedsAdmin)" /SD IDOK
      SetErrorLevel 740
      Quit
    ${EndIf}
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\Мервалин.lnk"
  Delete "$SMPROGRAMS\Mervalin.lnk"
  Delete "$INSTDIR\mervalin.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: anything the user put there stays.
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
