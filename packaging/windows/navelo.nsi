; Navelo's installer for Windows, for one user: it installs into %LOCALAPPDATA%\Programs\Navelo
; without asking for administrator rights, so the settings file Navelo keeps beside itself stays
; writable there. Made by scripts/make-setup.sh, which passes
;   VERSION  the program's version (x.y.z), from the CMake build
;   STAGE    the folder holding the stripped Navelo.exe and Readme.txt
;   ICON     the program's icon
;   OUTFILE  the installer to write
;
; Silent use: `Navelo-x.y.z-setup.exe /S [/D=FOLDER]` installs (FOLDER, last, unquoted, replaces the
; default); `Uninstall.exe /S` uninstalls and keeps Navelo.INI, `/REMOVESETTINGS` removes it too.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Navelo"
!define PUBLISHER "Navelo developers"

Name "Navelo"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Navelo"
; A new version goes where the last one was installed.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Navelo ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "Navelo"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileDescription" "Navelo ${VERSION} セットアップ"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Navelo.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_CUSTOMFUNCTION_PRE un.SkipComponentsWithoutSettings
!define MUI_COMPONENTSPAGE_TEXT_TOP "Navelo のプログラムを削除します。\
登録した加入者番号などを保存した設定ファイルも削除するときは、チェックを付けてください。"
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

Section "Navelo" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}/Navelo.exe"
  File "${STAGE}/Readme.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ; The shortcut starts in the program's folder.
  CreateShortcut "$SMPROGRAMS\Navelo.lnk" "$INSTDIR\Navelo.exe"

  ; Apps & features (Programs and Features) lists the program from here, for this user only.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Navelo"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Navelo.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; What the installer put there, and what the program leaves beside its settings file (the lock it
; holds while running, the temporary file of a save that was cut short).
Section "-un.Navelo"
  Delete "$INSTDIR\Navelo.exe"
  Delete "$INSTDIR\Readme.txt"
  Delete "$INSTDIR\Navelo.INI.lock"
  Delete "$INSTDIR\Navelo.INI.navelo-save-*"
  Delete "$SMPROGRAMS\Navelo.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; The user's identifiers and settings stay unless the user ticks this (or passes /REMOVESETTINGS).
Section /o "un.設定ファイル（Navelo.INI）も削除する" SecSettings
  Delete "$INSTDIR\Navelo.INI"
SectionEnd

; Last, so that the folder goes when nothing of the user's is left in it (never recursively: the
; folder may be one the user chose, holding other things).
Section "-un.Folder"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSettings}
  ${EndIf}
FunctionEnd

; With no settings file there is nothing to choose.
Function un.SkipComponentsWithoutSettings
  ${IfNot} ${FileExists} "$INSTDIR\Navelo.INI"
    Abort
  ${EndIf}
FunctionEnd
