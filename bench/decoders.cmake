# bench_decoders: throughput of the shrunk and imploded decoders on the fixtures' larger
# members (native builds only; run by scripts/run-bench).
if(NOT QUENDA_FUZZ AND NOT WIN32)
  add_executable(bench_decoders bench/bench_decoders.cpp tests/unzip_decoders/zip_fixture.cpp
    tests/unzip/support.cpp)
  quenda_warnings(bench_decoders)
  target_link_libraries(bench_decoders PRIVATE kuduunzip)
  target_compile_definitions(bench_decoders PRIVATE QUENDA_SHARED_DIR="${QUENDA_TEST_SHARED_DIR}")
endif()
