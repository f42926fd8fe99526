# The test programs for Windows, run under Wine: GoogleTest built from
# Debian's source package with the project's (posix-threads) MinGW compiler,
# every test program linked -static so it needs no MinGW DLL, and ctest
# running each one through scripts/wine-run.sh (32-bit) or
# scripts/wine64-run.sh (64-bit: the OpenFX binary).
#   scripts/wine-tests.sh and scripts/wine64-tests.sh each do all of it at once.
if(NOT (WIN32 AND CMAKE_CROSSCOMPILING))
  message(FATAL_ERROR "GW_WINE_TESTS needs a MinGW cross build (cmake/mingw-*.cmake)")
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine64-run.sh)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)
endif()
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")

set(GW_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
    "GoogleTest's sources (Debian package googletest)")
if(NOT EXISTS ${GW_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${GW_GOOGLETEST_SOURCE}: apt-get install googletest")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GW_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# The test programs' suites under Wine; the others (the command-line program
# and the Qt editor) are Linux-only.
set(GW_WINE_SUITES "lens;render;lensfile;presets;host;testhost;editor" CACHE STRING
    "The test folders built and run under Wine")

# The Linux build whose modules render the frames the Windows ones must match.
set(GW_LINUX_BUILD_DIR "" CACHE PATH "A Linux build of this tree (for the render comparison)")
