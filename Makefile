# Quenda: the quick start is `make demo` and `make test`; both install what is missing first.
.PHONY: all setup native native-asan win32 win64 demo demo-installer test test-native test-win32 test-win64 fuzz bench clean

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

all: native win32

setup:
	@scripts/setup

native: setup
	@cmake --preset native >/dev/null
	@cmake --build --preset native -j $(JOBS)

native-asan: setup
	@cmake --preset native-asan >/dev/null
	@cmake --build --preset native-asan -j $(JOBS)

win32: setup
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32 -j $(JOBS)

# The Windows tests also build as 64-bit programs: on machines whose kernel cannot execute
# 32-bit programs (Wine's 32-bit loader among them), they run under Wine's 64-bit loader.
win64: setup
	@cmake --preset win64 >/dev/null
	@cmake --build --preset win64 -j $(JOBS)

demo: native win32
	@echo "== examples/sample.html converted by build/native/bin/quenda =="
	@build/native/bin/quenda examples/sample.html
	@echo "== examples/site converted into build/native/demo-site, each page validated =="
	@rm -rf build/native/demo-site
	@build/native/bin/quenda --validate --out-dir=build/native/demo-site examples/site; \
	    status=$$?; [ $$status -eq 0 ] || [ $$status -eq 3 ]
	@$(MAKE) --no-print-directory demo-installer

# The plug-in's own installer, examples/setup.exe: the 32-bit install.exe with
# examples/install.ini and the files of examples/plugin/ beside the 32-bit Quenda.dll and
# the sample page with its conversion (docs/beispiel.*),
# gathered in a staging folder that mksfx builds the archive from; then checked as shipped.
demo-installer: native win32
	@rm -rf build/win32/demo && mkdir -p build/win32/demo/plugin
	@cp -Rp examples/plugin/. build/win32/demo/plugin/
	@mkdir -p build/win32/demo/plugin/docs
	@cp -p examples/sample.html build/win32/demo/plugin/docs/beispiel.html
	@cp -p examples/sample.xhtml build/win32/demo/plugin/docs/beispiel.xhtml
	@i686-w64-mingw32-strip -o build/win32/demo/install.exe build/win32/bin/install.exe
	@i686-w64-mingw32-strip -p -o build/win32/demo/plugin/Quenda.dll build/win32/bin/Quenda.dll
	@build/native/bin/mksfx --strict --image build/win32/demo/install.exe --script examples/install.ini \
	    --folder build/win32/demo/plugin -o examples/setup.exe
	@build/native/bin/mksfx --verify examples/setup.exe
	@echo "== examples/setup.exe built and verified =="

test-native: native
	ctest --preset native -j $(JOBS)

test-win32: win32
	ctest --preset win32 -j $(JOBS)

test-win64: win64
	ctest --preset win64 -j $(JOBS)

# Every test, native and under Wine; fails when any of them fails. Where the 32-bit
# programs run, the end-to-end tests have run on the shipped binaries and the 64-bit twin
# runs only its unit tests.
test: native win32 win64
	@status=0; \
	ctest --preset native -j $(JOBS) || status=1; \
	ctest --preset win32 -j $(JOBS) || status=1; \
	twin=; scripts/wine-run --runs-32-bit && twin="-LE e2e"; \
	ctest --preset win64 -j $(JOBS) $$twin || status=1; \
	scripts/wine-stop; \
	exit $$status

fuzz: setup
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	@scripts/run-fuzz build/fuzz $(FUZZ_SECONDS)

bench: native
	@scripts/run-bench build/native
	@echo "== bench_implied (real HTML 4 pages from Debian's documentation packages)"
	@bench/bench_implied.sh build/native/bin/quenda

clean:
	rm -rf build
