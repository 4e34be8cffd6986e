# GoogleTest built with this compiler from Debian's source (/usr/src/googletest): a cross compiler
# has no GoogleTest package to find.
set(TARVEX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources, built with this compiler")
# GoogleTest is someone else's code: built without our warnings.
get_property(tarvex_options DIRECTORY PROPERTY COMPILE_OPTIONS)
set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TARVEX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "${tarvex_options}")
