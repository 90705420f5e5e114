# Unit tests of the shrunk and imploded decoders, fed straight from the fixture archives.
set(unzip_decoder_test_sources
  tests/unzip_decoders/unshrink_test.cpp
  tests/unzip_decoders/explode_test.cpp
  tests/unzip_decoders/zip_fixture.cpp
  tests/unzip/support.cpp
  tests/unzip/sha256.cpp)
quenda_test(unzip_decoder_tests SOURCES ${unzip_decoder_test_sources} LIBS kuduunzip)
