# bench_unzip: the ZIP reader's extraction speed against zlib (deflate) and Info-ZIP's unzip
# (shrunk, imploded); native builds only, run by scripts/run-bench. zlib is linked into this
# benchmark alone, as the yardstick.
find_package(ZLIB QUIET)
if(NOT QUENDA_FUZZ AND NOT WIN32 AND ZLIB_FOUND AND TARGET kuduunzip_tool)
  add_executable(bench_unzip bench/bench_unzip.cpp)
  quenda_warnings(bench_unzip)
  target_link_libraries(bench_unzip PRIVATE kuduunzip ZLIB::ZLIB)
  target_compile_definitions(bench_unzip PRIVATE
    QUENDA_SHARED_DIR="${QUENDA_SHARED_DIR}"
    QUENDA_BENCH_DIR="${CMAKE_BINARY_DIR}/bench-data"
    QUENDA_KUDUUNZIP="$<TARGET_FILE:kuduunzip_tool>")
  add_dependencies(bench_unzip kuduunzip_tool)
endif()
