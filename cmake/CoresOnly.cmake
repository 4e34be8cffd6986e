# GoogleTest built with this compiler, for the cores that need nothing but the standard library
# and their tests: what a cross build for Windows checks without Qt (scripts/windows-check). The
# cores and their tests come from the folders' own CMakeLists.txt.

set(TARVEX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources, built with this compiler")
# GoogleTest is someone else's code: built without our warnings.
get_property(tarvex_options DIRECTORY PROPERTY COMPILE_OPTIONS)
set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TARVEX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "${tarvex_options}")
