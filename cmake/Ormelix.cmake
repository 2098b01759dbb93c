# Shared build settings and helpers for both configurations.

set(ORMELIX_WARNINGS -Wall -Wextra)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

if(WIN32)
  # Every exe and DLL in one folder, so the Windows loader finds the DLLs
  # beside the programs (tests included).
  set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_compile_definitions(WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0501 WINVER=0x0501)
  # Without -static the posix runtime imports libwinpthread-1.dll and an
  # installed program no longer stands alone.
  add_link_options(-static)

  # Flags for the shipped viewer code: small, no exception or RTTI support.
  set(ORMELIX_SMALL_COMPILE -Os -fno-exceptions -fno-rtti
      -fno-asynchronous-unwind-tables -ffunction-sections -fdata-sections)
  set(ORMELIX_SMALL_LINK -s -Wl,--gc-sections -Wl,--no-insert-timestamp)

  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(ORMELIX_GTEST GTest::gtest_main)
  set(ORMELIX_GMOCK GTest::gmock)
else()
  find_package(GTest REQUIRED)
  set(ORMELIX_GTEST GTest::gtest_main)
  set(ORMELIX_GMOCK GTest::gmock)
  # Native unit tests run under the sanitizers.
  set(ORMELIX_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer
      -fno-sanitize-recover=all)
endif()

# ormelix_small(target): apply the size flags of the shipped viewer.
function(ormelix_small target)
  if(WIN32)
    target_compile_options(${target} PRIVATE ${ORMELIX_SMALL_COMPILE})
  endif()
endfunction()

# ormelix_gtest(name SOURCES ... LIBS ... [LABELS ...] [GUI]): one GoogleTest
# program, registered as one ctest test. Native programs are built with the
# sanitizers; Win32 programs run under Wine through the emulator. GUI tests
# share the one display, so they never run at the same time.
function(ormelix_gtest name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${ORMELIX_GTEST})
  target_compile_options(${name} PRIVATE ${ORMELIX_WARNINGS} ${ORMELIX_SANITIZE})
  target_link_options(${name} PRIVATE ${ORMELIX_SANITIZE})
  add_test(NAME ${name} COMMAND ${name})
  if(WIN32)
    set(labels win32 ${T_LABELS})
  else()
    set(labels native ${T_LABELS})
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT 120)
  if(T_GUI)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK display)
  endif()
endfunction()

# ormelix_e2e(name SCRIPT file ARGS ... [WOW64]): an end-to-end test script
# (bash, beside the CMakeLists.txt that registers it) that drives the real
# programs under Wine on the shared display. The script sees ORMELIX_BIN (the
# Win32 programs), ORMELIX_NATIVE_BIN (saverpack, makecfg) and ORMELIX_SOURCE. WOW64
# labels it wow64: scripts/test runs it once more in the 64-bit prefix.
function(ormelix_e2e name)
  cmake_parse_arguments(T "WOW64" "SCRIPT" "ARGS" ${ARGN})
  add_test(NAME ${name}
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/${T_SCRIPT} ${T_ARGS})
  set(labels e2e)
  if(T_WOW64)
    list(APPEND labels wow64)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT 300
                       RESOURCE_LOCK display
                       ENVIRONMENT "ORMELIX_BIN=${CMAKE_BINARY_DIR}/bin;ORMELIX_NATIVE_BIN=${ORMELIX_NATIVE_BIN};ORMELIX_SOURCE=${CMAKE_SOURCE_DIR}")
endfunction()

# ormelix_link_viewer(target): link the viewer's Win32 subsystems. The engine host
# sits on top (it uses the screen saver, the settings and the data block); the screen saver
# reaches the viewer only through the parts the program hands it.
function(ormelix_link_viewer target)
  target_link_libraries(${target} PRIVATE enginehost_win32 comctl32 gdi32 user32 advapi32 kernel32)
endfunction()
