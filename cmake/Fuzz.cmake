# The fuzz tree (ORMELIX_FUZZ=ON, built with clang): only the portable
# libraries the fuzz targets drive, and the targets, all under AddressSanitizer
# and UndefinedBehaviorSanitizer. Libraries carry libFuzzer's coverage
# instrumentation; each target links libFuzzer itself.

if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "ORMELIX_FUZZ needs clang (libFuzzer): configure with CXX=clang++-14")
endif()

list(APPEND ORMELIX_SANITIZE -fsanitize=fuzzer-no-link)

# ormelix_fuzz(name SOURCES ... LIBS ...): one libFuzzer target.
function(ormelix_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_compile_options(${name} PRIVATE ${ORMELIX_WARNINGS} ${ORMELIX_SANITIZE})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
endfunction()

add_subdirectory(common)
add_subdirectory(packdata)
add_subdirectory(screensaver)
add_subdirectory(engine/core)
add_subdirectory(tests/fuzz)
