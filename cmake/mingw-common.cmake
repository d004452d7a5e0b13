# Shared by the MinGW-w64 toolchain files: they set _quillet_triple and _quillet_processor.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${_quillet_processor})

# posix for the test programs (std::mutex, std::thread); win32 for the shipped binaries, which
# cmake/ShippedBuild.cmake builds with it.
if(NOT DEFINED QUILLET_THREAD_MODEL)
  set(QUILLET_THREAD_MODEL posix)
endif()
find_program(_quillet_cc ${_quillet_triple}-gcc-${QUILLET_THREAD_MODEL})
find_program(_quillet_cxx ${_quillet_triple}-g++-${QUILLET_THREAD_MODEL})
find_program(_quillet_rc ${_quillet_triple}-windres)
if(NOT _quillet_cc OR NOT _quillet_cxx OR NOT _quillet_rc)
  message(FATAL_ERROR
    "The ${_quillet_triple} MinGW-w64 ${QUILLET_THREAD_MODEL} compilers and windres were not found. "
    "Run scripts/setup (Debian: g++-mingw-w64-{i686,x86-64}-{posix,win32} and the matching "
    "binutils-mingw-w64 packages).")
endif()
set(CMAKE_C_COMPILER ${_quillet_cc})
set(CMAKE_CXX_COMPILER ${_quillet_cxx})
set(CMAKE_RC_COMPILER ${_quillet_rc})

set(CMAKE_FIND_ROOT_PATH /usr/${_quillet_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests of the Windows build run for real under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec)
