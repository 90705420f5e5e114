# bench_convert: whole-process speed and memory of `quenda` beside tidy and xmllint on generated
# HTML 4 pages (native builds only; run by scripts/run-bench).
if(NOT QUENDA_FUZZ AND NOT WIN32)
  add_executable(bench_convert bench/bench_convert.cpp bench/html_generator.cpp)
  quenda_warnings(bench_convert)
  if(TARGET quenda)
    add_dependencies(bench_convert quenda)
  endif()
endif()
