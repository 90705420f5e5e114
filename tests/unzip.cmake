# Tests of the ZIP reader: the fixture archives against their manifest, edge cases on archives
# the tests write themselves, and the decoders on their own. The same program runs natively
# and under Wine.
quenda_test(unzip_tests
  SOURCES tests/unzip/fixture_test.cpp tests/unzip/edge_test.cpp tests/unzip/member_name_test.cpp
          tests/unzip/support.cpp tests/unzip_decoders/decoders_test.cpp tests/unzip_decoders/zip_fixture.cpp
  LIBS kuduunzip)
# kuduunzip itself, natively: archives written at test time by Python's zipfile and Info-ZIP
# zip, checked against Info-ZIP unzip.
if(NOT WIN32 AND TARGET kuduunzip_tool)
  add_test(NAME kuduunzip_tool_tests
    COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/unzip/kuduunzip_tool_test.py $<TARGET_FILE:kuduunzip_tool>)
  set_tests_properties(kuduunzip_tool_tests PROPERTIES LABELS unit TIMEOUT 300)
endif()
