# MinGW's posix thread model gives the test programs std::mutex and std::thread (GoogleTest and
# our threaded tests need them), but it also links libwinpthread into every binary: about 30 KB
# that quillet.exe and quillet.dll, with one thread of their own, never use. So the shipped pair
# is made by a nested build of these same sources with the win32 thread model, and this build's
# targets `quillet` and `quillet_dll` stand for it: every test below starts, loads and checks the
# binaries that ship, while the test programs link the posix build of the code they test.
include(ExternalProject)

ExternalProject_Add(quillet_shipped
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/shipped
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
             -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
             -DQUILLET_THREAD_MODEL=win32
             -DQUILLET_SHIPPED_ONLY=ON
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target quillet quillet_dll
  INSTALL_COMMAND ${CMAKE_COMMAND} -E copy_if_different <BINARY_DIR>/quillet.exe
                  <BINARY_DIR>/quillet.dll ${CMAKE_BINARY_DIR}
  # The nested build knows its own dependencies; asking it every time is cheap.
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/quillet.exe ${CMAKE_BINARY_DIR}/quillet.dll)

add_custom_target(quillet ALL DEPENDS quillet_shipped)
add_custom_target(quillet_dll ALL DEPENDS quillet_shipped)
