# The Windows packages: a zip of the program folder and an NSIS installer with Start-menu entries,
# the file types and an uninstaller.
set(TARVEX_WINDOWS_RES ${CMAKE_CURRENT_LIST_DIR}/../res/windows)
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME tarvex620b-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tarvex620B)
set(CPACK_PACKAGE_EXECUTABLES tarvex620b Tarvex620B)
# The Start-menu entry points at the flat folder, not at a bin/ inside it.
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_STRIP_FILES ON)
set(CPACK_NSIS_PACKAGE_NAME Tarvex620B)
set(CPACK_NSIS_DISPLAY_NAME Tarvex620B)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${TARVEX_WINDOWS_RES}/tarvex.ico)
set(CPACK_NSIS_MUI_UNIICON ${TARVEX_WINDOWS_RES}/tarvex.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME tarvex620b.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer: the programs are 64-bit, and a 64-bit Wine runs no 32-bit installer. CPack
# has no setting for NSIS's target; the line after the compressor's is the first place to say it.
set(CPACK_NSIS_COMPRESSOR "lzma\n  Target amd64-unicode")
# Program texts and object programs show the program's document icon (icon 1 of its resources);
# a program text opens in the program. A .kxc claimed by another program stays with it.
set(tarvex_classes "Software\\\\Classes")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  WriteRegStr SHCTX '${tarvex_classes}\\\\Tarvex.Document' '' 'Tarvex Document'
  WriteRegStr SHCTX '${tarvex_classes}\\\\Tarvex.Document\\\\DefaultIcon' '' '$INSTDIR\\\\tarvex620b.exe,1'
  WriteRegStr SHCTX '${tarvex_classes}\\\\Tarvex.Document\\\\shell\\\\open\\\\command' '' '\\\"$INSTDIR\\\\tarvex620b.exe\\\" \\\"%1\\\"'
  WriteRegStr SHCTX '${tarvex_classes}\\\\Tarvex.Object' '' 'Tarvex Object Program'
  WriteRegStr SHCTX '${tarvex_classes}\\\\Tarvex.Object\\\\DefaultIcon' '' '$INSTDIR\\\\tarvex620b.exe,1'
  ReadRegStr $0 SHCTX '${tarvex_classes}\\\\.kxc' ''
  StrCmp $0 '' 0 +2
  WriteRegStr SHCTX '${tarvex_classes}\\\\.kxc' '' 'Tarvex.Document'
  ReadRegStr $0 SHCTX '${tarvex_classes}\\\\.kxo' ''
  StrCmp $0 '' 0 +2
  WriteRegStr SHCTX '${tarvex_classes}\\\\.kxo' '' 'Tarvex.Object'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  ReadRegStr $0 SHCTX '${tarvex_classes}\\\\.kxc' ''
  StrCmp $0 'Tarvex.Document' 0 +2
  DeleteRegKey SHCTX '${tarvex_classes}\\\\.kxc'
  ReadRegStr $0 SHCTX '${tarvex_classes}\\\\.kxo' ''
  StrCmp $0 'Tarvex.Object' 0 +2
  DeleteRegKey SHCTX '${tarvex_classes}\\\\.kxo'
  DeleteRegKey SHCTX '${tarvex_classes}\\\\Tarvex.Document'
  DeleteRegKey SHCTX '${tarvex_classes}\\\\Tarvex.Object'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
")
