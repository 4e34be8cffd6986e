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

include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackage.cmake)
