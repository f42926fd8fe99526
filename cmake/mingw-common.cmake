# What the MinGW-w64 toolchain files share, once GW_MINGW_PREFIX names the
# target (i686-w64-mingw32, x86_64-w64-mingw32). The posix-threads compilers:
# GoogleTest and the OpenFX binary's renders need std::mutex. The modules
# link their runtime statically, so they still need only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${GW_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GW_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${GW_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GW_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
