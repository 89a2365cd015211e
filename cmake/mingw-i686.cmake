# Cross build for 32-bit Windows: the release build.
set(TOOLCHAIN_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
