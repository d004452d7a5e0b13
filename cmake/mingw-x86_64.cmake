# Cross-compiles the 64-bit Windows product with MinGW-w64 (x86_64, posix threads), for
# installers that are themselves 64-bit only. It writes the same 32-bit registry view.
set(_quillet_triple x86_64-w64-mingw32)
set(_quillet_processor x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
