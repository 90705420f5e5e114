# bench_site: whole sites with `quenda --out-dir` beside tidy over the same files in parallel,
# one document of the same size, and xmllint validation (native builds only; scripts/run-bench).
if(NOT QUENDA_FUZZ AND NOT WIN32)
  add_executable(bench_site bench/bench_site.cpp bench/html_generator.cpp)
  quenda_warnings(bench_site)
  if(TARGET quenda)
    add_dependencies(bench_site quenda)
  endif()
endif()
