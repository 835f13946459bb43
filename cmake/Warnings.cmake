# moltrane_warnings: the compile options every target of ours takes.
add_library(moltrane_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(moltrane_warnings INTERFACE
    -Wall -Wextra -Wshadow -Wformat=2 -Wundef -Wpointer-arith
    # Frames must be bit-identical from run to run so golden images can be
    # compared exactly: no fused multiply-add contraction, no fast-math.
    -ffp-contract=off -fno-fast-math)
  if(MOLTRANE_WERROR)
    target_compile_options(moltrane_warnings INTERFACE -Werror)
  endif()
endif()

# moltrane_module(name SOURCES ...) declares one library target per src/ folder.
function(moltrane_module name)
  cmake_parse_arguments(M "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${M_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${M_DEPS} PRIVATE moltrane_warnings)
endfunction()
