# Unit tests of the decoders: shrunk and imploded data straight from the fixture archives,
# deflate streams written by the test.
set(unzip_decoder_test_sources
  tests/unzip_decoders/unshrink_test.cpp
  tests/unzip_decoders/explode_test.cpp
  tests/unzip_decoders/inflate_test.cpp
  tests/unzip_decoders/zip_fixture.cpp
  tests/unzip/support.cpp)
quenda_test(unzip_decoder_tests SOURCES ${unzip_decoder_test_sources} LIBS kuduunzip)
