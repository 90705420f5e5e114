# Whole-site runs of the command line on a generated tree (native; the Windows program's walk
# and in-place writing are compared with these under Wine by tests/tools/quenda_wine_parity.sh).
if(TARGET quenda AND NOT WIN32)
  add_test(NAME quenda_site
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/site/site_test.sh $<TARGET_FILE:quenda> ${CMAKE_SOURCE_DIR})
  set_tests_properties(quenda_site PROPERTIES LABELS "cli" TIMEOUT 300)
endif()
