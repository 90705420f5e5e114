# The plug-in's portable behaviour: settings, the converter window's controller and the text
# logic of its editor controls. Under Wine the settings also run against the real registry.
if(TARGET quenda_plugin_core)
  quenda_test(plugin_tests
    SOURCES tests/plugin/settings_test.cpp tests/plugin/main_controller_test.cpp
    LIBS quenda_plugin_core)
endif()
if(TARGET quenda_plugin_core AND TARGET quenda_controls_core)
  quenda_test(plugin_controls_tests
    SOURCES tests/plugin/controls_text_test.cpp
    LIBS quenda_plugin_core quenda_controls_core)
endif()

# The output view's control, under Wine.
if(WIN32 AND TARGET quenda_controls)
  quenda_test(plugin_memo_tests
    SOURCES tests/plugin/html_memo_test.cpp
    LIBS quenda_controls)
endif()

# The export table of the DLL, read with the tool chain's objdump, and the version resource
# of the DLL and the tools; a script, not a Windows program, so CTest runs it directly.
if(TARGET Quenda AND CMAKE_OBJDUMP)
  set(versioned)
  foreach(tool quenda mksfx kuduunzip_tool quenda-host)
    if(TARGET ${tool})
      list(APPEND versioned $<TARGET_FILE:${tool}>)
    endif()
  endforeach()
  add_test(NAME plugin_exports
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/plugin/check-exports.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:Quenda> ${versioned})
  set_tests_properties(plugin_exports PROPERTIES LABELS unit)
endif()

# End to end under Wine: the driver works the real converter window through quenda-host, by
# keyboard, mouse and control IDs, and checks what comes back against the engine linked in.
if(WIN32 AND NOT QUENDA_FUZZ AND TARGET Quenda AND TARGET quenda-host)
  add_executable(plugin_e2e_tests tests/wine/plugin_e2e_test.cpp tests/wine/window_driver.cpp)
  quenda_warnings(plugin_e2e_tests)
  target_link_libraries(plugin_e2e_tests PRIVATE quenda_plugin_core GTest::gtest_main user32 gdi32 advapi32)
  add_dependencies(plugin_e2e_tests Quenda quenda-host)
  add_test(NAME plugin_e2e
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/wine/run-plugin-e2e.sh
      --wine-run ${CMAKE_SOURCE_DIR}/scripts/wine-run --prefix ${QUENDA_WINE_PREFIX}
      --driver $<TARGET_FILE:plugin_e2e_tests> --host $<TARGET_FILE:quenda-host> --dll $<TARGET_FILE:Quenda>
      --source ${CMAKE_SOURCE_DIR} --shots ${CMAKE_BINARY_DIR}/e2e-shots)
  set_tests_properties(plugin_e2e PROPERTIES LABELS e2e TIMEOUT 900 SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)
endif()
