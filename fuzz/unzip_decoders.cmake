# libFuzzer targets for the shrunk and imploded decoders (clang fuzz build only).
quenda_fuzz_target(fuzz_unshrink SOURCES fuzz/fuzz_unshrink.cpp installer/unzip/unshrink.cpp)
quenda_fuzz_target(fuzz_explode SOURCES fuzz/fuzz_explode.cpp installer/unzip/explode.cpp)
