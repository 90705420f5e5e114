# The installer wizard and its about box, as portable controllers against fake hosts.
if(TARGET installer_wizard)
  quenda_test(installer_wizard_tests
    SOURCES
      tests/wizard/info_controller_test.cpp
      tests/wizard/wizard_controller_test.cpp
    LIBS installer_wizard)
endif()
