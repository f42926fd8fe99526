# The PiPL generator and the rule that runs it. The generator reads the edition
# tables, so it is always built for the machine that runs the build: in a
# cross build as a separate native project.
include(${PROJECT_SOURCE_DIR}/host/editions.cmake)

if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  set(_gw_gen_dir ${CMAKE_BINARY_DIR}/pipl_gen_native)
  ExternalProject_Add(pipl_gen_native
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/resources/generator
    BINARY_DIR ${_gw_gen_dir}
    CMAKE_ARGS -DGW_SOURCE_DIR=${PROJECT_SOURCE_DIR} -DCMAKE_BUILD_TYPE=Release
    BUILD_BYPRODUCTS ${_gw_gen_dir}/pipl_gen
    INSTALL_COMMAND "")
  set(GW_PIPL_GEN ${_gw_gen_dir}/pipl_gen)
  set(GW_PIPL_GEN_TARGET pipl_gen_native)
else()
  add_executable(pipl_gen ${PROJECT_SOURCE_DIR}/resources/pipl_gen.cpp
                          ${PROJECT_SOURCE_DIR}/resources/pipl.cpp)
  target_link_libraries(pipl_gen PRIVATE gw_editions)
  set(GW_PIPL_GEN $<TARGET_FILE:pipl_gen>)
  set(GW_PIPL_GEN_TARGET pipl_gen)
endif()

# gw_generate_pipl(edition base): writes base.pipl and base.rc.
function(gw_generate_pipl edition base)
  add_custom_command(
    OUTPUT ${base}.pipl ${base}.rc
    COMMAND ${GW_PIPL_GEN} ${edition} ${base}.pipl ${base}.rc
    DEPENDS ${GW_PIPL_GEN_TARGET}
    COMMENT "Generating the PiPL of the ${edition} edition"
    VERBATIM)
endfunction()
