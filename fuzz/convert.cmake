# The conversion engine under libFuzzer (clang, ASan + UBSan), seeded from the shared HTML corpus;
# it also holds the fast steps to their literal algorithms.
quenda_fuzz_target(fuzz_convert
  SOURCES fuzz/fuzz_convert.cpp tests/convert_steps/reference_steps.cpp
  LIBS quenda_convert)
