# quenda_test(NAME SOURCES... [LIBS libs...] [LABELS labels...])
# One GoogleTest program, built natively and for Windows from the same sources; CTest runs
# the Windows one under Wine through the cross-compiling emulator.
function(quenda_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  if(QUENDA_FUZZ)
    return()
  endif()
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  quenda_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    QUENDA_SHARED_DIR="${QUENDA_TEST_SHARED_DIR}"
    QUENDA_SOURCE_DIR="${QUENDA_TEST_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  if(WIN32)
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  endif()
  set(labels unit ${T_LABELS})
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT 600)
endfunction()

# quenda_fuzz_target(NAME SOURCES... LIBS libs...): a libFuzzer program, only in the fuzz build.
function(quenda_fuzz_target name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT QUENDA_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES} ${F_UNPARSED_ARGUMENTS})
  quenda_warnings(${name})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
endfunction()
