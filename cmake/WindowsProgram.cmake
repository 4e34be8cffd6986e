# The Windows program folder and its packages (make windows, make windows-package): what
# windeployqt would gather, as install rules. The folder is flat: the programs, Qt's DLLs, the
# MinGW runtime, qt.conf, plugins/ and translations/ beside each other.

# Qt finds its plugins and translations from qt.conf's folder, not from where Qt was built.
file(WRITE ${CMAKE_BINARY_DIR}/windows/qt.conf "[Paths]\nPrefix = .\n")
install(FILES ${CMAKE_BINARY_DIR}/windows/qt.conf DESTINATION .)

foreach(module Core Gui Widgets PrintSupport SerialPort)
    install(FILES ${QT6_INSTALL_PREFIX}/bin/Qt6${module}.dll DESTINATION .)
endforeach()
install(FILES ${QT6_INSTALL_PREFIX}/plugins/platforms/qwindows.dll DESTINATION plugins/platforms)
install(DIRECTORY ${QT6_INSTALL_PREFIX}/plugins/styles ${QT6_INSTALL_PREFIX}/plugins/imageformats
        DESTINATION plugins FILES_MATCHING PATTERN "*.dll")

# The compiler's own runtime, wherever this compiler keeps it.
foreach(dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${runtime}")
        find_file(runtime_${dll} ${dll} PATHS /usr/${TARVEX_MINGW_PREFIX}/lib
                  /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
        set(runtime ${runtime_${dll}})
    endif()
    if(NOT EXISTS "${runtime}")
        message(FATAL_ERROR "The MinGW runtime ${dll} was not found")
    endif()
    install(FILES ${runtime} DESTINATION .)
endforeach()

# Qt's own texts (its buttons read "OK" without them); Debian's files serve every platform.
set(TARVEX_QT_TRANSLATIONS /usr/share/qt6/translations CACHE PATH "Qt's .qm files")
if(NOT EXISTS ${TARVEX_QT_TRANSLATIONS}/qtbase_zh_CN.qm)
    message(FATAL_ERROR "qtbase_zh_CN.qm not found in ${TARVEX_QT_TRANSLATIONS} (qt6-translations-l10n)")
endif()
install(FILES ${TARVEX_QT_TRANSLATIONS}/qtbase_zh_CN.qm DESTINATION translations)

# ---- packages: a zip of the folder and an NSIS installer ----
set(TARVEX_WINDOWS_RES ${PROJECT_SOURCE_DIR}/res/windows)
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME tarvex620b-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tarvex620B)
set(CPACK_PACKAGE_EXECUTABLES tarvex620b Tarvex620B)
set(CPACK_STRIP_FILES ON)
set(CPACK_NSIS_PACKAGE_NAME Tarvex620B)
set(CPACK_NSIS_DISPLAY_NAME Tarvex620B)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${TARVEX_WINDOWS_RES}/tarvex.ico)
set(CPACK_NSIS_MUI_UNIICON ${TARVEX_WINDOWS_RES}/tarvex.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME tarvex620b.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
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
