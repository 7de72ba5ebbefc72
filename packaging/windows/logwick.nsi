; The Windows setup program, logwick-<version>-setup.exe (make windows-installer;
; packaging/windows/CMakeLists.txt passes the defines). It installs per user
; into %LOCALAPPDATA%\Programs\Logwick without administrator rights, for all
; users into Program Files when run as administrator (/CurrentUser keeps it per
; user), and speaks Russian. /S installs silently, /D=FOLDER (last) chooses the
; folder. The uninstaller removes what the installer wrote and nothing else: the
; user's archive and settings stay.
;
; Defines: VERSION (1.3), VERSION4 (1.3.0.0), BIN (the programs' folder),
; SOURCE (the source tree), OUTFILE; LICENSE_SQLITE, LICENSE_OPENSSL,
; LICENSE_POSTGRESQL (the licences of the libraries built into the programs).

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

; The programs, one line each. A program that the build did not make is left
; out, so a line may name one that is still to come.
!macro Programs DO
  !insertmacro ${DO} logwick.exe
  !insertmacro ${DO} logwick-cli.exe
  !insertmacro ${DO} logwick-sync.exe
!macroend

; What the Start-menu entry and the .t7kev type open: the desktop program, or,
; while the build has none, logwick-cli in a command prompt.
!define DESKTOP logwick.exe
!if /FileExists "${BIN}/${DESKTOP}"
  !define HAVE_DESKTOP
  !define SHORTCUT "$SMPROGRAMS\Logwick.lnk"
!else
  !define SHORTCUT "$SMPROGRAMS\Logwick (командная строка).lnk"
!endif

; The file type as the desktop program registers it itself on every start.
!define PROGID "Ormet.T7kLogwick"
!define TYPE_NAME "Список событий ТАРВЕЛ-7К"
!define CLASSES "Software\Classes"
!define UNINST_PARENT "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define UNINST_KEY "${UNINST_PARENT}\Logwick"

Name "Logwick ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "Logwick ${VERSION}"
VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"

Var AllUsers

!define MUI_ICON "${SOURCE}/res/icons/logwick.ico"
!define MUI_UNICON "${SOURCE}/res/icons/logwick.ico"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!ifdef HAVE_DESKTOP
  !define MUI_FINISHPAGE_RUN "$INSTDIR\${DESKTOP}"
!endif
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductName" "Logwick"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "CompanyName" "ООО «Ормет»"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "LegalCopyright" "© ООО «Ормет»"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileDescription" "Установка Logwick ${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductVersion" "${VERSION}"

!macro InstallProgram FILE
  !if /FileExists "${BIN}/${FILE}"
    File "${BIN}/${FILE}"
  !endif
!macroend

!macro RemoveProgram FILE
  !if /FileExists "${BIN}/${FILE}"
    Delete "$INSTDIR\${FILE}"
  !endif
!macroend

!macro LicenseFiles DO
  !insertmacro ${DO} "${SOURCE}/packaging/copyright" Logwick.txt
  !ifdef LICENSE_SQLITE
    !insertmacro ${DO} "${LICENSE_SQLITE}" SQLite.txt
  !endif
  !ifdef LICENSE_OPENSSL
    !insertmacro ${DO} "${LICENSE_OPENSSL}" OpenSSL.txt
  !endif
  !ifdef LICENSE_POSTGRESQL
    !insertmacro ${DO} "${LICENSE_POSTGRESQL}" PostgreSQL.txt
  !endif
!macroend

!macro InstallLicense SOURCE_FILE NAME
  File "/oname=${NAME}" "${SOURCE_FILE}"
!macroend

!macro RemoveLicense SOURCE_FILE NAME
  Delete "$INSTDIR\licenses\${NAME}"
!macroend

Function .onInit
  ; An administrator's elevated process installs for all users; any other,
  ; or /CurrentUser, for the user alone.
  StrCpy $AllUsers 0
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $AllUsers 1
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/CurrentUser" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
  ${EndIf}
  ${If} $AllUsers == 1
    SetShellVarContext all
    StrCpy $R2 "$PROGRAMFILES64\Logwick"
  ${Else}
    SetShellVarContext current
    StrCpy $R2 "$LOCALAPPDATA\Programs\Logwick"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR $R2
  ${EndIf}
FunctionEnd

; The file type under HKCU\Software\Classes, with the command line the desktop
; program writes: its short path quoted, then "%1" quoted.
Function RegisterFileType
  !ifdef HAVE_DESKTOP
    GetFullPathName /SHORT $0 "$INSTDIR\${DESKTOP}"
    StrCpy $1 '"$0" "%1"'
  !else
    GetFullPathName /SHORT $0 "$INSTDIR\logwick-cli.exe"
    StrCpy $1 '"$SYSDIR\cmd.exe" /k ""$0" show "%1""'
  !endif
  WriteRegStr HKCU "${CLASSES}\.t7kev" "" "${PROGID}"
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "${TYPE_NAME}"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$0,1"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" $1
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
FunctionEnd

Section
  ; What the installer creates above its own folder and keys (a fresh profile
  ; may lack %LOCALAPPDATA%\Programs, HKCU\Software\Classes or the list of
  ; uninstallers) goes with the uninstaller; what was there stays.
  ${GetParent} "$INSTDIR" $R3
  ${IfNot} ${FileExists} "$R3\*.*"
    StrCpy $R4 "$R3"
  ${EndIf}
  ClearErrors
  EnumRegKey $0 HKCU "${CLASSES}" 0
  ${If} ${Errors}
    StrCpy $R5 1
  ${EndIf}
  ClearErrors
  EnumRegKey $0 SHCTX "${UNINST_PARENT}" 0
  ${If} ${Errors}
    StrCpy $R6 1
  ${EndIf}
  SetOutPath "$INSTDIR"
  !insertmacro Programs InstallProgram
  File "/oname=README.md" "${SOURCE}/README.md"
  SetOutPath "$INSTDIR\licenses"
  !insertmacro LicenseFiles InstallLicense
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  !ifdef HAVE_DESKTOP
    CreateShortcut "${SHORTCUT}" "$INSTDIR\${DESKTOP}"
  !else
    CreateShortcut "${SHORTCUT}" "$SYSDIR\cmd.exe" '/k "logwick-cli.exe --help"' "$INSTDIR\logwick-cli.exe" 0
  !endif
  Call RegisterFileType

  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "Logwick"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "ООО «Ормет»"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe,0"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  ${If} $R4 != ""
    WriteRegStr SHCTX "${UNINST_KEY}" "CreatedFolder" "$R4"
  ${EndIf}
  ${If} $R5 == 1
    WriteRegDWORD SHCTX "${UNINST_KEY}" "CreatedClassesKey" 1
  ${EndIf}
  ${If} $R6 == 1
    WriteRegDWORD SHCTX "${UNINST_KEY}" "CreatedUninstallKey" 1
  ${EndIf}
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  ; Installed for all users when Program Files' entry names this folder.
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      MessageBox MB_ICONSTOP "Logwick установлен для всех пользователей: запустите удаление от имени администратора." /SD IDOK
      Abort
    ${EndIf}
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section Uninstall
  !insertmacro Programs RemoveProgram
  Delete "$INSTDIR\README.md"
  !insertmacro LicenseFiles RemoveLicense
  RMDir "$INSTDIR\licenses"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ReadRegStr $0 SHCTX "${UNINST_KEY}" "CreatedFolder"
  ${If} $0 != ""
    RMDir "$0"
  ${EndIf}
  Delete "${SHORTCUT}"

  ; The file type, where it is still this program's.
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  ReadRegStr $0 HKCU "${CLASSES}\.t7kev" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue HKCU "${CLASSES}\.t7kev" ""
  ${EndIf}
  DeleteRegKey /ifempty HKCU "${CLASSES}\.t7kev"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  ReadRegDWORD $1 SHCTX "${UNINST_KEY}" "CreatedClassesKey"
  ReadRegDWORD $2 SHCTX "${UNINST_KEY}" "CreatedUninstallKey"
  DeleteRegKey SHCTX "${UNINST_KEY}"
  ; The keys above, where the installer created them and nothing else has come
  ; to stand in them since.
  ${If} $1 == 1
    DeleteRegKey /ifempty HKCU "${CLASSES}"
  ${EndIf}
  ${If} $2 == 1
    DeleteRegKey /ifempty SHCTX "${UNINST_PARENT}"
  ${EndIf}
SectionEnd
