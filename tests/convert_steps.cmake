# Step 2 and the tag primitive against their literal algorithms, the implied end tags, and the
# corpus pages and documents through the whole pipeline.
quenda_test(convert_steps_tests
  SOURCES
    tests/convert_steps/reference_steps.cpp
    tests/convert_steps/tag_normalization_test.cpp
    tests/convert_steps/corpus_test.cpp
    tests/convert_steps/implied_end_tags_test.cpp
  LIBS quenda_convert)

# The command line turns the sample page into the expected XHTML, byte for byte.
if(NOT QUENDA_FUZZ AND NOT WIN32 AND TARGET quenda)
  add_test(NAME quenda_sample_xhtml
    COMMAND sh -c "\"$0\" \"$1/examples/sample.html\" | cmp - \"$1/examples/sample.xhtml\""
      $<TARGET_FILE:quenda> ${CMAKE_SOURCE_DIR})
  set_tests_properties(quenda_sample_xhtml PROPERTIES LABELS "unit")
endif()

# The corpus pages judged well-formed by libxml2 with and without the implied end tags (native
# only: libxml2 is linked into this test program alone).
if(NOT WIN32)
  find_package(LibXml2 REQUIRED)
  quenda_test(convert_wellformed_tests
    SOURCES tests/convert_steps/wellformed_test.cpp tests/convert_steps/reference_steps.cpp
    LIBS quenda_convert LibXml2::LibXml2)
endif()
