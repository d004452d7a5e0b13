# Cross-compiles the 32-bit Windows product with MinGW-w64 (i686, posix threads): the build that
# add-on makers ship, since it runs on every Windows.
set(_quillet_triple i686-w64-mingw32)
set(_quillet_processor i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
