# mksfx's library: the script check, folder builds installed by the installer's own steps, and
# the check of finished (and damaged) installer files; natively and under Wine.
if(TARGET authoring)
  quenda_test(authoring_tests
    SOURCES tests/authoring/authoring_test.cpp
    LIBS authoring)
endif()
