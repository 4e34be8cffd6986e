# GoogleTest built with this compiler, and the GoogleTest programs of the cores that need nothing
# but the standard library: what a cross build for Windows checks without Qt
# (scripts/windows-check). The cores themselves come from the folders' own CMakeLists.txt.

set(TARVEX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources, built with this compiler")
# GoogleTest is someone else's code: built without our warnings.
get_property(tarvex_options DIRECTORY PROPERTY COMPILE_OPTIONS)
set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TARVEX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "${tarvex_options}")

set(S ${PROJECT_SOURCE_DIR})
if(TARVEX_BUILD_TESTS)
    enable_testing()
    # The tests' way to the system: processes, temporary folders, "not here" for what Windows lacks.
    add_library(tarvex_test_portable STATIC ${S}/tests/support/Portable.cpp
        ${S}/tests/support/PortableWindows.cpp ${S}/tests/support/ToolProcess.cpp)
    target_include_directories(tarvex_test_portable PUBLIC ${S})
    function(tarvex_core_test name)
        cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
        list(TRANSFORM ARG_UNPARSED_ARGUMENTS PREPEND ${S}/tests/)
        add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} tarvex_test_portable GTest::gtest
                                              GTest::gtest_main)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES TIMEOUT 120)
    endfunction()

    tarvex_core_test(portable_tests support/PortableTest.cpp)

    tarvex_core_test(common_tests common/MessagesTest.cpp common/FileIoTest.cpp
        common/FileReadsTest.cpp common/TextReadersTest.cpp LIBS tarvex_common)
    tarvex_core_test(compiler_core_tests compiler/EncodeLineTest.cpp compiler/DecimalReaderTest.cpp
        compiler/CompileRunTest.cpp compiler/DisassemblerTest.cpp compiler/LabelPassTest.cpp
        compiler/ProgramCheckTest.cpp LIBS tarvex_compiler)
    tarvex_core_test(registers_core_tests registers/RegisterFileTest.cpp LIBS tarvex_registers)
    tarvex_core_test(registers_all_tests registers/AllRegistersTest.cpp LIBS tarvex_registers)
    tarvex_core_test(charset_core_tests charset/CharacterImageTest.cpp LIBS tarvex_charset)
    tarvex_core_test(wire_trace_tests link/WireTraceTest.cpp LIBS tarvex_wire)
    tarvex_core_test(screen_image_tests link/ScreenImageTest.cpp LIBS tarvex_screen)
    target_compile_definitions(screen_image_tests PRIVATE TARVEX_TEST_DATA="${S}/tests/link/data")
    tarvex_core_test(download_sources_tests link/DownloadSourcesTest.cpp LIBS tarvex_downloads)
    tarvex_core_test(emulator_core_tests emulator/VirtualControllerTest.cpp
        emulator/TransferStoreTest.cpp emulator/EmulateRunTest.cpp emulator/ReplayTest.cpp LIBS tarvex_emulator)
endif()
