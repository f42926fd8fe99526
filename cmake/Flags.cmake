# Warnings and floating point: every build computes single-precision floats the
# same way, so a 32-bit Windows plug-in and a 64-bit Linux test agree pixel for
# pixel. No fused multiply-add, no fast-math; x87 is never used.
add_compile_options(-Wall -Wextra -ffp-contract=off -fno-fast-math)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$" OR
   (CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$" AND CMAKE_SIZEOF_VOID_P EQUAL 4))
  add_compile_options(-msse2 -mfpmath=sse)
endif()

if(GW_SANITIZE)
  set(GW_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  include(CheckCXXCompilerFlag)
  check_cxx_compiler_flag(-fsanitize=float-cast-overflow GW_HAS_FLOAT_CAST_OVERFLOW)
  if(GW_HAS_FLOAT_CAST_OVERFLOW)
    list(APPEND GW_SANITIZE_FLAGS -fsanitize=float-cast-overflow)
  endif()
  add_compile_options(${GW_SANITIZE_FLAGS})
  add_link_options(${GW_SANITIZE_FLAGS})
endif()

# Fuzz builds instrument every library for coverage, not only the targets.
if(GW_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
