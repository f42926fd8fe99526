# 64-bit Windows with MinGW-w64 (Debian's mingw-w64 packages): the OpenFX
# binary, as applications on Windows load it.
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
#         -DGW_BUILD_CLI=OFF -DGW_BUILD_TESTS=OFF
# With its tests, run under 64-bit Wine: scripts/wine64-tests.sh.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GW_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
