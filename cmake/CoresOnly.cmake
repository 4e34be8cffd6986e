# GoogleTest built with this compiler, for the cores that need nothing but the standard library
# and their tests: what a cross build for Windows checks without Qt (scripts/windows-check). The
# cores and their tests come from the folders' own CMakeLists.txt.
include(${CMAKE_CURRENT_LIST_DIR}/GoogleTestSource.cmake)
