; SPDX-License-Identifier: GPL-3.0-or-later
; Installer of Zielwerk for 64-bit Windows. scripts/windows/make-installer.sh
; runs
;   makensis -DVERSION=<version> -DAPP_ID=<application ID>
;            -DPICTURE_MAKER_ID=<the picture maker's application ID>
;            -DCOPYRIGHT_YEARS=<years> -DPUBLISHER=<copyright holder> -DSTAGE=<staged folder>
;            -DUNINSTALL_LIST=<list.nsh> -DSIZE_KB=<size> -DICON=<zielwerk.ico>
;            -DOUTFILE=<setup.exe> zielwerk.nsi
; The staged folder holds the program, its DLLs and GTK's runtime files,
; Daten\ (what the program copies into the user's working folder
; %APPDATA%\Zielwerk), the manual hilfe\, LIESMICH.txt and Lizenzen\ (with
; Zielwerk's own licence in Lizenzen\Zielwerk\LICENSE.txt, which the licence
; page shows). UNINSTALL_LIST names
; exactly those files and folders, so the uninstaller removes what was
; installed and nothing else; the user's working folder is never touched.
;
; Zielwerk is installed for all users (Program Files, with administrator
; rights) or for the current user alone (%LOCALAPPDATA%\Programs, without):
; the page "Benutzer auswählen" asks an administrator, /AllUsers and
; /CurrentUser choose on the command line, and an earlier installation's
; choice and folder are the defaults. Over an earlier installation a running
; Zielwerk of that folder is asked to close first, and the earlier version's
; own uninstaller removes its files, so that none it had and this version has
; not stays behind. /S installs and uninstalls without a dialogue; /D=<folder>
; installs there.

!ifndef VERSION | APP_ID | PICTURE_MAKER_ID | COPYRIGHT_YEARS | PUBLISHER | STAGE | UNINSTALL_LIST | SIZE_KB | ICON | OUTFILE
  !error "VERSION, APP_ID, PICTURE_MAKER_ID, COPYRIGHT_YEARS, PUBLISHER, STAGE, UNINSTALL_LIST, SIZE_KB, ICON and OUTFILE must be defined (-D...)"
!endif

; Windows' version numbers have four parts: the version's own, then zeros.
!searchparse /noerrors "${VERSION}.0.0.0" "" VERSION_1 "." VERSION_2 "." VERSION_3 "." VERSION_4 "."
!define VERSION_WINDOWS "${VERSION_1}.${VERSION_2}.${VERSION_3}.${VERSION_4}"

; A 64-bit installer for a 64-bit program: Windows itself refuses it on a
; 32-bit system, and it sees the 64-bit registry and Program Files directly.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestSupportedOS all

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zielwerk"

; Asks an administrator, and runs a standard user without asking.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Zielwerk"
!define MULTIUSER_USE_PROGRAMFILES64
; The uninstall entry of each kind of installation names its folder.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INIT_TEXT_ALLUSERSNOTPOSSIBLE \
  "Ihr Benutzerkonto darf Zielwerk nicht für alle Benutzer dieses Computers installieren."
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include WinMessages.nsh
!include Win\COM.nsh
!include Win\Propkey.nsh

Name "Zielwerk ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "Zielwerk ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\LIESMICH.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
; No "start Zielwerk now": an installer with administrator rights would start
; the program with them.

!insertmacro MUI_PAGE_WELCOME
; The GPL asks no consent to use the program: the page shows it and goes on
; with "Weiter", not "Annehmen".
!define MUI_PAGE_HEADER_TEXT "Lizenz"
!define MUI_PAGE_HEADER_SUBTEXT "Zielwerk ist freie Software unter der GNU General Public License."
!define MUI_LICENSEPAGE_TEXT_BOTTOM \
  "Um Zielwerk zu installieren und zu benutzen, müssen Sie dieser Lizenz nicht zustimmen; sie regelt, unter welchen Bedingungen Zielwerk weitergegeben und verändert werden darf."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\Lizenzen\Zielwerk\LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

VIProductVersion "${VERSION_WINDOWS}"
VIFileVersion "${VERSION_WINDOWS}"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductName" "Zielwerk"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "Zielwerk ${VERSION} installieren"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "© ${COPYRIGHT_YEARS} ${PUBLISHER}"

; --- One program of the package ------------------------------------------------

; Asks every running copy of $INSTDIR\<exe> to close, as its window's close
; button does (the program keeps a hidden window of class <class> for this),
; and waits up to ten seconds for it to end; then lets the user close it and
; try again, or gives up (silently: the installation fails).
!macro CloseRunning EXE CLASS NAME
  !define /ReDef CLOSE_ID ${__COUNTER__}
  StrCpy $R0 0
  close_${CLOSE_ID}:
    ${IfNot} ${FileExists} "$INSTDIR\${EXE}"
      Goto closed_${CLOSE_ID}
    ${EndIf}
    ; A running program file cannot be opened for writing.
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\${EXE}", i 0x40000000, i 0, p 0, i 3, i 0, p 0) p.R1'
    ${If} $R1 P<> -1
      System::Call 'kernel32::CloseHandle(p R1)'
      Goto closed_${CLOSE_ID}
    ${EndIf}
    ${If} $R0 = 0
      StrCpy $R2 0
      find_${CLOSE_ID}:
        System::Call 'user32::FindWindowExW(p 0, p R2, w "${CLASS}", p 0) p.R2'
        ${If} $R2 P<> 0
          System::Call 'user32::GetWindowThreadProcessId(p R2, *i .R3)'
          ; PROCESS_QUERY_LIMITED_INFORMATION
          System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i R3) p.R4'
          ${If} $R4 P<> 0
            System::Call 'kernel32::QueryFullProcessImageNameW(p R4, i 0, w .R5, *i ${NSIS_MAX_STRLEN})'
            System::Call 'kernel32::CloseHandle(p R4)'
            ${If} $R5 == "$INSTDIR\${EXE}"
              System::Call 'user32::PostMessageW(p R2, i ${WM_CLOSE}, p 0, p 0)'
            ${EndIf}
          ${EndIf}
          Goto find_${CLOSE_ID}
        ${EndIf}
    ${EndIf}
    ${If} $R0 < 20
      IntOp $R0 $R0 + 1
      Sleep 500
      Goto close_${CLOSE_ID}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${NAME} läuft noch und kann nicht ersetzt werden.$\n$\nBitte beenden Sie ${NAME} und klicken Sie auf $\"Wiederholen$\"." \
      /SD IDCANCEL IDCANCEL cancel_${CLOSE_ID}
    StrCpy $R0 0
    Goto close_${CLOSE_ID}
  cancel_${CLOSE_ID}:
    Abort "${NAME} läuft noch."
  closed_${CLOSE_ID}:
!macroend

; The Start-menu entry <link> for $INSTDIR\<exe>, carrying the application ID
; that the program gives its window, so that the taskbar shows a running
; program and the pinned entry as one.
!macro ProgramLink LINK EXE DESCRIPTION ID
  CreateShortCut "$SMPROGRAMS\${LINK}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 SW_SHOWNORMAL "" "${DESCRIPTION}"
  !insertmacro ComHlpr_CreateInProcInstance ${CLSID_ShellLink} ${IID_IShellLink} r0 ""
  ${If} $0 P<> 0
    ${IUnknown::QueryInterface} $0 '("${IID_IPersistFile}",.r1)'
    ${If} $1 P<> 0
      ${IPersistFile::Load} $1 '("$SMPROGRAMS\${LINK}.lnk", ${STGM_READWRITE})'
      ${IUnknown::QueryInterface} $0 '("${IID_IPropertyStore}",.r2)'
      ${If} $2 P<> 0
        System::Call '*${SYSSTRUCT_PROPERTYKEY}(${PKEY_AppUserModel_ID})p.r3'
        System::Call '*(&w128 "${ID}")p.r5'
        System::Call '*(&i2 ${VT_LPWSTR}, &i6 0, p r5, &i8 0)p.r4'
        ${IPropertyStore::SetValue} $2 '($3,$4)'
        ${IPropertyStore::Commit} $2 ""
        System::Free $3
        System::Free $4
        System::Free $5
        ${IUnknown::Release} $2 ""
        ${IPersistFile::Save} $1 '("$SMPROGRAMS\${LINK}.lnk",1)'
      ${EndIf}
      ${IUnknown::Release} $1 ""
    ${EndIf}
    ${IUnknown::Release} $0 ""
  ${EndIf}
!macroend

; --- Installing -------------------------------------------------------------------

Function .onInit
  ; /D= sets $INSTDIR before this; the defaults below must not replace it.
  StrCpy $9 $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${If} $9 != ""
    StrCpy $INSTDIR $9
  ${EndIf}
FunctionEnd

Section "Zielwerk"
  SectionIn RO
  !insertmacro CloseRunning "zielwerk.exe" "${APP_ID}" "Zielwerk"
  !insertmacro CloseRunning "zielwerk-bildwandler.exe" "${APP_ID}" "Zielwerk Bildwandler"

  ; The earlier version's uninstaller, run in place (_?=) and waited for.
  ${If} ${FileExists} "$INSTDIR\uninstall.exe"
    ExecWait '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
  ${EndIf}

  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  !insertmacro ProgramLink "Zielwerk" "zielwerk.exe" "Zielanzeige eines Modellbahnwagens einstellen" "${APP_ID}"
  ; The picture maker: an installed copy works in the same folder of the
  ; user's as Zielwerk, so that its pictures are saved where Zielwerk opens
  ; them.
  !insertmacro ProgramLink "Zielwerk Bildwandler" "zielwerk-bildwandler.exe" \
    "Fotos, Logos und Text in Zugbilder umwandeln" "${PICTURE_MAKER_ID}"

  ; SHCTX: HKLM for all users, HKCU for the current user alone.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Zielwerk"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zielwerk.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; --- Uninstalling -----------------------------------------------------------------

Function un.onInit
  ; The installation to remove is the one in this uninstaller's folder, also
  ; where the other kind exists beside it; the defaults of MULTIUSER_UNINIT
  ; would set $INSTDIR to the folder of the kind it prefers.
  StrCpy $9 $INSTDIR
  !insertmacro MULTIUSER_UNINIT
  StrCpy $INSTDIR $9
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    Call un.MultiUser.InstallMode.CurrentUser
  ${ElseIf} $1 == $INSTDIR
    Call un.MultiUser.InstallMode.AllUsers
  ${EndIf}
  StrCpy $INSTDIR $9
FunctionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\Zielwerk.lnk"
  Delete "$SMPROGRAMS\Zielwerk Bildwandler.lnk"
  ; Delete and RMDir lines for every installed file and folder, deepest first.
  ; RMDir without /r leaves a folder that holds anything else.
  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
