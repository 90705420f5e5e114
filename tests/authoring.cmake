# mksfx's library: the script check, folder builds installed by the installer's own steps, and
# the check of finished (and damaged) installer files; natively and under Wine.
if(TARGET authoring)
  quenda_test(authoring_tests
    SOURCES tests/authoring/authoring_test.cpp
    LIBS authoring)
endif()

# The demo installer from the outside: natively with the 32-bit build's install.exe and
# Quenda.dll (skipped until that preset is built), and mksfx.exe under Wine with its own.
if(TARGET mksfx)
  if(NOT WIN32)
    set(QUENDA_WIN32_BIN_DIR ${CMAKE_SOURCE_DIR}/build/win32/bin CACHE PATH
        "Folder of the 32-bit install.exe and Quenda.dll that the native mksfx test builds the demo installer from")
    add_test(NAME mksfx_demo COMMAND bash ${CMAKE_SOURCE_DIR}/tests/authoring/mksfx_demo_test.sh ${CMAKE_SOURCE_DIR}
             ${QUENDA_WIN32_BIN_DIR}/install.exe ${QUENDA_WIN32_BIN_DIR}/Quenda.dll $<TARGET_FILE:mksfx>)
  elseif(TARGET installer_program AND TARGET Quenda AND CMAKE_CROSSCOMPILING)
    add_test(NAME mksfx_demo COMMAND bash ${CMAKE_SOURCE_DIR}/tests/authoring/mksfx_demo_test.sh ${CMAKE_SOURCE_DIR}
             $<TARGET_FILE:installer_program> $<TARGET_FILE:Quenda> $<TARGET_FILE:mksfx>
             ${CMAKE_SOURCE_DIR}/scripts/wine-run --prefix ${QUENDA_WINE_PREFIX})
  endif()
  if(TEST mksfx_demo)
    set_tests_properties(mksfx_demo PROPERTIES LABELS "cli" TIMEOUT 600 SKIP_RETURN_CODE 77)
  endif()
endif()

# A folder build clicked through the real wizard under Wine.
if(WIN32 AND CMAKE_CROSSCOMPILING AND TARGET installer_program AND TARGET mksfx)
  add_executable(folder_install_e2e_tests tests/wine/folder_install_e2e_test.cpp tests/wine/window_driver.cpp)
  quenda_warnings(folder_install_e2e_tests)
  target_link_libraries(folder_install_e2e_tests PRIVATE quenda_platform GTest::gtest_main user32 gdi32 advapi32)
  add_dependencies(folder_install_e2e_tests installer_program mksfx)
  add_test(NAME folder_install_e2e COMMAND folder_install_e2e_tests)
  set_tests_properties(folder_install_e2e PROPERTIES LABELS e2e TIMEOUT 600 SKIP_RETURN_CODE 77 RUN_SERIAL TRUE
    ENVIRONMENT "QUENDA_E2E_MKSFX=Z:$<TARGET_FILE:mksfx>;QUENDA_E2E_INSTALL=Z:$<TARGET_FILE:installer_program>;QUENDA_E2E_SHOTS=Z:${CMAKE_BINARY_DIR}/e2e-shots")
endif()
