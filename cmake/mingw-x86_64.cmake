# Cross build for 64-bit Windows: the build the tests run under wine64.
set(TOOLCHAIN_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
