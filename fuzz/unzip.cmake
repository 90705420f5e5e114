# Fuzz targets of the ZIP reader (clang, libFuzzer, ASan + UBSan), seeded from the ZIP fixtures.
quenda_fuzz_target(fuzz_unzip_inflate SOURCES fuzz/fuzz_unzip_inflate.cpp installer/unzip/inflate.cpp)
quenda_fuzz_target(fuzz_unzip_walk
  SOURCES fuzz/fuzz_unzip_walk.cpp installer/unzip/member_walk.cpp installer/unzip/zip_path.cpp
  LIBS quenda_platform)
quenda_fuzz_target(fuzz_unzip_member SOURCES fuzz/fuzz_unzip_member.cpp LIBS kuduunzip)
