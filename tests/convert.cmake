# The conversion core: work buffer, text primitives, host line rule, step 1.
# tests/convert/cases.cpp runs the shared cases against every target.
quenda_test(convert_core_tests
  SOURCES
    tests/convert/cases.cpp
    tests/convert/work_buffer_test.cpp
    tests/convert/text_test.cpp
    tests/convert/lower_text_win32_test.cpp
    tests/convert/entities_test.cpp
  LIBS quenda_convert)
