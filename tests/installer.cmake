# The installer's core: script and texts, fonts, editor detection, container.
if(TARGET installer_core)
  quenda_test(installer_core_tests
    SOURCES
      tests/installer/inictrl_test.cpp
      tests/installer/pluginfolder_test.cpp
      tests/installer/profile_file_test.cpp
      tests/installer/sfx_test.cpp
    LIBS installer_core)
endif()

# The extraction step, on the ZIP reader.
if(TARGET kuduunzip)
  quenda_test(installer_extract_tests
    SOURCES tests/installer/extract_test.cpp tests/unzip/support.cpp
    LIBS kuduunzip)
endif()

# mksfx refuses what the installer could not extract.
if(TARGET authoring)
  quenda_test(installer_container_tests
    SOURCES tests/installer/container_test.cpp
    LIBS authoring)
endif()

# Under Windows (Wine): the real registry, the Windows and system folders, and the search of
# the fixed drives in a prefix of its own that has no drive for the Linux root.
if(WIN32 AND TARGET kuduunzip AND TARGET installer_core)
  quenda_test(installer_wine_tests
    SOURCES tests/installer/wine_system_test.cpp
    LIBS installer_core)
  if(CMAKE_CROSSCOMPILING AND NOT QUENDA_FUZZ)
    add_test(NAME installer_drive_search
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/installer/drive_search_test.sh ${CMAKE_SOURCE_DIR}/scripts/wine-run
              ${CMAKE_BINARY_DIR}/wineprefix-drives $<TARGET_FILE:installer_wine_tests>)
    set_tests_properties(installer_drive_search PROPERTIES SKIP_RETURN_CODE 77 LABELS "unit;wine" TIMEOUT 600)
  endif()
endif()
