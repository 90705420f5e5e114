# The command line from the outside. Natively: its options, line endings, encodings and error
# exits. In the Windows builds: quenda.exe under Wine gives byte for byte what the native
# quenda gives (make test builds the native preset first; without it the test is skipped).
if(TARGET quenda)
  if(NOT WIN32)
    add_test(NAME quenda_cli
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/quenda_cli_test.sh $<TARGET_FILE:quenda> ${CMAKE_SOURCE_DIR})
    set_tests_properties(quenda_cli PROPERTIES LABELS "cli" TIMEOUT 300)
  else()
    set(QUENDA_NATIVE_BIN_DIR ${CMAKE_SOURCE_DIR}/build/native/bin CACHE PATH
        "Folder of the native quenda that the Windows build's quenda.exe is compared with")
    add_test(NAME quenda_wine_parity
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/quenda_wine_parity.sh
              ${QUENDA_NATIVE_BIN_DIR}/quenda $<TARGET_FILE:quenda>
              ${CMAKE_SOURCE_DIR}/scripts/wine-run ${QUENDA_WINE_PREFIX} ${CMAKE_SOURCE_DIR})
    set_tests_properties(quenda_wine_parity PROPERTIES LABELS "cli" TIMEOUT 600 SKIP_RETURN_CODE 77)
  endif()
endif()
