quenda_test(platform_tests
  SOURCES tests/platform/files_test.cpp
  LIBS quenda_platform)
quenda_test(registry_tests
  SOURCES tests/platform/registry_test.cpp
  LIBS quenda_platform)
