# The installer end to end under Wine: the driver makes installer files from install.exe with
# mksfx and works them through their windows.
if(WIN32 AND CMAKE_CROSSCOMPILING AND NOT QUENDA_FUZZ AND TARGET installer_program AND TARGET mksfx)
  add_executable(installer_e2e_tests tests/wine/installer_e2e_test.cpp tests/wine/window_driver.cpp
    tests/unzip/support.cpp)
  quenda_warnings(installer_e2e_tests)
  target_link_libraries(installer_e2e_tests PRIVATE kuduunzip GTest::gtest_main user32 gdi32 advapi32)
  target_compile_definitions(installer_e2e_tests PRIVATE QUENDA_SHARED_DIR="${QUENDA_TEST_SHARED_DIR}")
  add_dependencies(installer_e2e_tests installer_program mksfx)
  add_test(NAME installer_e2e COMMAND installer_e2e_tests)
  set_tests_properties(installer_e2e PROPERTIES LABELS e2e TIMEOUT 900 SKIP_RETURN_CODE 77 RUN_SERIAL TRUE
    ENVIRONMENT "QUENDA_E2E_MKSFX=Z:$<TARGET_FILE:mksfx>;QUENDA_E2E_INSTALL=Z:$<TARGET_FILE:installer_program>;QUENDA_E2E_SHOTS=Z:${CMAKE_BINARY_DIR}/e2e-shots")
endif()
