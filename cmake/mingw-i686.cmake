# 32-bit Windows with MinGW-w64 (Debian's mingw-w64 packages):
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
#         -DGW_BUILD_CLI=OFF -DGW_BUILD_TESTS=OFF
# With the tests, run under Wine: scripts/wine-tests.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(GW_MINGW_PREFIX i686-w64-mingw32)
# The posix-threads compilers: GoogleTest needs their std::mutex. The modules
# link their runtime statically, so they still need only system DLLs.
set(CMAKE_C_COMPILER ${GW_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GW_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${GW_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GW_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
