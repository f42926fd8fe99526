# 32-bit Windows with MinGW-w64 (Debian's mingw-w64 packages):
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
#         -DGW_BUILD_CLI=OFF -DGW_BUILD_TESTS=OFF
# With the tests, run under Wine: scripts/wine-tests.sh.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(GW_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
