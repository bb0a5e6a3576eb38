; Installer of Zielwerk for 64-bit Windows. scripts/build-windows.sh stages the
; files and runs
;   makensis -DVERSION=<version> -DSTAGE=<staged folder> -DUNINSTALL_LIST=<list.nsh>
;            -DSIZE_KB=<size> -DICON=<zielwerk.ico> -DOUTFILE=<setup.exe> zielwerk.nsi
; The staged folder holds the program, its DLLs and GTK's runtime files, the
; launcher, Daten\ (what the launcher copies into %APPDATA%\Zielwerk),
; LIESMICH.txt and Lizenzen\. UNINSTALL_LIST names exactly those files and
; folders, so the uninstaller removes what was installed and nothing else; the
; user's working folder %APPDATA%\Zielwerk is never touched.
; /S installs and uninstalls without a dialogue.

!ifndef VERSION | STAGE | UNINSTALL_LIST | SIZE_KB | ICON | OUTFILE
  !error "VERSION, STAGE, UNINSTALL_LIST, SIZE_KB, ICON and OUTFILE must be defined (-D...)"
!endif

; A 64-bit installer for a 64-bit program: Windows itself refuses it on a
; 32-bit system, and it sees the 64-bit registry and Program Files directly.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include MUI2.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zielwerk"
!define PUBLISHER "Zielwerk-Team"

Name "Zielwerk ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zielwerk"
BrandingText "Zielwerk ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\LIESMICH.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
; No "start Zielwerk now": the installer runs with administrator rights, and
; the program would get the administrator's working folder.

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductName" "Zielwerk"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "Zielwerk ${VERSION} installieren"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "© 2026 ${PUBLISHER}"

; The Start-menu entry is for every user of the machine.
Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Zielwerk"
  SectionIn RO
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The entry starts the launcher, which sets up the user's working folder;
  ; its icon is the program's.
  CreateShortCut "$SMPROGRAMS\Zielwerk.lnk" "$INSTDIR\zielwerk-launcher.exe" "" \
    "$INSTDIR\zielwerk.exe" 0 SW_SHOWNORMAL "" "Zielanzeige eines Modellbahnwagens einstellen"
  ; The picture maker through the same launcher, in the same working folder.
  CreateShortCut "$SMPROGRAMS\Zielwerk Bildwandler.lnk" "$INSTDIR\zielwerk-launcher.exe" "--bildwandler" \
    "$INSTDIR\zielwerk-bildwandler.exe" 0 SW_SHOWNORMAL "" "Fotos, Logos und Text in Zugbilder umwandeln"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Zielwerk"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zielwerk.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\Zielwerk.lnk"
  Delete "$SMPROGRAMS\Zielwerk Bildwandler.lnk"
  ; Delete and RMDir lines for every installed file and folder, deepest first.
  ; RMDir without /r leaves a folder that holds anything else.
  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
