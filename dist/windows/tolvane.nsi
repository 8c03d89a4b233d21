# SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer of Tolvane, built by scripts/package-windows.sh with makensis:
;   makensis -DVERSION=x.y.z -DSOURCE=<program folder> -DOUTFILE=<installer.exe>
;            -DUNINSTALL_LIST=<file of Delete lines> [-DMAIN_EXE=tolvane.exe] tolvane.nsi
; and, for a 64-bit program, -X"Target amd64-unicode" -DWIN64 before the script.
; Installs into Program Files with a Start-menu entry and an uninstaller. The program keeps each
; user's tables in %APPDATA%\tolvane when it may not write its own folder; the uninstaller removes
; only what it installed, so a schedule kept beside the program stays.
Unicode true
!ifndef MAIN_EXE
  !define MAIN_EXE "tolvane.exe"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane"

Name "Tolvane ${VERSION}"
OutFile "${OUTFILE}"
!ifdef WIN64
  ; The 64-bit folder and registry, not the 32-bit views Windows would redirect to.
  InstallDir "$PROGRAMFILES64\Tolvane"
  Function un.onInit
    SetRegView 64
  FunctionEnd
!else
  InstallDir "$PROGRAMFILES\Tolvane"
!endif
RequestExecutionLevel admin
SetCompressor /SOLID lzma

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!include "FileFunc.nsh"
!include "Sections.nsh"

; The installer speaks Simplified Chinese, and English on a Windows whose language is English
; (NSIS picks the loaded language matching the system's, else the first).
LoadLanguageFile "${NSISDIR}\Contrib\Language files\SimpChinese.nlf"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\English.nlf"
LangString ServiceSection ${LANG_SIMPCHINESE} "打铃服务（开机即打铃，无人登录也打）"
LangString ServiceSection ${LANG_ENGLISH} "Bell service (rings from boot, with nobody logged in)"
LangString ServiceFailed ${LANG_SIMPCHINESE} "打铃服务未能安装"
LangString ServiceFailed ${LANG_ENGLISH} "The bell service could not be installed"

Section "Tolvane" SecProgram
  SectionIn RO
  SetShellVarContext all  ; the Start-menu entry for every user of the bell PC
  SetOutPath "$INSTDIR"
  File /r "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Tolvane"
  CreateShortcut "$SMPROGRAMS\Tolvane\Tolvane.lnk" "$INSTDIR\${MAIN_EXE}"
  CreateShortcut "$SMPROGRAMS\Tolvane\Uninstall Tolvane.lnk" "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tolvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
SectionEnd

; Bells from boot with nobody logged in (a night's restart by Windows Update): tolvanectl rings
; the schedule in the program folder as a service. Not chosen by default; /SERVICE chooses it for
; a silent install (/S /SERVICE).
Section /o "$(ServiceSection)" SecService
  ExecWait '"$INSTDIR\tolvanectl.exe" service install "$INSTDIR"' $0
  StrCmp $0 0 +2
    DetailPrint "$(ServiceFailed)（$0）"
SectionEnd

Function .onInit
!ifdef WIN64
  SetRegView 64
!endif
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/SERVICE" $R1
  IfErrors +2
    SectionSetFlags ${SecService} ${SF_SELECTED}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  ; The service first: its process holds the program's files. None installed is fine.
  ExecWait '"$INSTDIR\tolvanectl.exe" service remove'
  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Tolvane\Tolvane.lnk"
  Delete "$SMPROGRAMS\Tolvane\Uninstall Tolvane.lnk"
  RMDir "$SMPROGRAMS\Tolvane"
  ; Not /r: tables, the log and music the users put here stay, and so does the folder then.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
