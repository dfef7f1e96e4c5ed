; The Windows installer: a per-user install of kasorel.exe, its guide and its licence into
; %LOCALAPPDATA%\Programs\Kasorel, with a Start-menu entry and an entry in the list of apps.
; No administrator rights; /S installs and uninstalls silently.
;
; script/package-windows builds it with these defines:
;   VERSION  the program's version (1.0); VERSION4 the same in four numbers (1.0.0.0)
;   EXE      kasorel.exe      GUIDE  guide.html      LICENSE  the licence text
;   OUTFILE  the installer to write
;   ICON     the program's icon, for the installer and the uninstaller (optional)
;
; The settings: the program keeps kasorel.ini beside kasorel.exe when that folder is
; writable, and this one is. So the ini lives in the install folder, and neither an upgrade
; nor the uninstaller may touch it: the installer writes only the files below, and the
; uninstaller deletes exactly those and removes the folder only when nothing is left in it.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define NAME "Kasorel"
!define PUBLISHER "The Kasorel developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kasorel"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kasorel"
; An upgrade goes where the earlier version went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${NAME} ${VERSION}"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=1041 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${NAME} ${VERSION} セットアップ"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"

!define MUI_ABORTWARNING
!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif
!define MUI_FINISHPAGE_RUN "$INSTDIR\kasorel.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Kasorel" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=kasorel.exe" "${EXE}"
  File "/oname=guide.html" "${GUIDE}"
  File "/oname=LICENSE" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Kasorel.lnk" "$INSTDIR\kasorel.exe" "" "$INSTDIR\kasorel.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kasorel.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SecMain} $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\kasorel.exe"
  Delete "$INSTDIR\guide.html"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Kasorel.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Not /r: the user's kasorel.ini stays, and with it the folder.
  RMDir "$INSTDIR"
SectionEnd
