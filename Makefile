# Thin entry points; CMake presets do the work.
JOBS ?= $(shell nproc)
DEFAULT_BIN := build/default/bin

.PHONY: deps deps-demo deps-windows build build-demo build-asan demo check check-asan bench stress clean \
        build-fuzz fuzz fuzz-smoke coverage windows windows64 check-windows windows-release windows-package package

deps:
	@scripts/setup-deps.sh

deps-demo:
	@scripts/setup-deps.sh demo

deps-windows:
	@scripts/setup-deps.sh windows

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

# Only what the demo runs: the program, the server library and the simulator,
# in the same build folder (so a later `make check` reuses what it compiled).
DEMO_TARGETS := kavrolin kavrolin_library trans
build-demo: deps-demo
	cmake --preset default -DKAVROLIN_BUILD_TESTS=OFF -DKAVROLIN_BUILD_BENCH=OFF
	cmake --build --preset default -j $(JOBS) --target $(DEMO_TARGETS)

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

# 32-bit Windows, cross-compiled with MinGW-w64 into build/mingw-i686.
windows: deps-windows
	cmake --preset mingw-i686
	cmake --build --preset mingw-i686 -j $(JOBS)

# 64-bit Windows into build/mingw-x86_64: the same sources, for proving them
# under a Wine that cannot run 32-bit programs.
windows64: deps-windows
	cmake --preset mingw-x86_64
	cmake --build --preset mingw-x86_64 -j $(JOBS)

# The shipped Windows binaries (Kavrolin.dll, kavrolin.exe, trans.dll):
# -O2, stripped, each with its debug information in <file>.debug beside it,
# in build/mingw-i686-release/bin. Only those three are built.
WINDOWS_RELEASE := build/mingw-i686-release
windows-release: deps-windows
	cmake --preset mingw-i686-release
	cmake --build --preset mingw-i686-release -j $(JOBS) --target kavrolin_com kavrolin trans

# build/package/Kavrolin-<version>-x86.msi and .zip from the release build;
# the installer's registry table comes from the registration tables through
# the build machine's kavrolin-interfaces (only that target of build/default).
PACKAGE_DIR := build/package
windows-package: deps deps-windows windows-release
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS) --target kavrolin-interfaces
	@mkdir -p $(PACKAGE_DIR)/windows
	$(DEFAULT_BIN)/kavrolin-interfaces --installer-registry $(PACKAGE_DIR)/windows/registry.wxi
	scripts/package-windows.sh $(WINDOWS_RELEASE) $(PACKAGE_DIR)/windows/registry.wxi $(PACKAGE_DIR)

# The Windows build's tests under Wine, in a private prefix in the build folder
# (see scripts/check-windows.sh; where 32-bit programs cannot run, it checks
# the 64-bit build instead), then the package's install, upgrade and removal.
check-windows: windows windows-package
	scripts/check-windows.sh build/mingw-i686

# A sale of 12.34 against the terminal simulator, in a prefix of its own.
DEMO_DIR := build/demo
demo: build-demo
	@rm -rf $(DEMO_DIR) && mkdir -p $(DEMO_DIR)/pos
	@cd $(DEMO_DIR)/pos && KAVROLIN_PREFIX=$(CURDIR)/$(DEMO_DIR)/prefix \
	  ../../default/bin/kavrolin sale 12.34 --invoice 1 --cashier 01 --register A1; \
	  echo "exit: $$?"
	@echo "journal lines:"
	@iconv -f CP936 -t UTF-8 $(DEMO_DIR)/prefix/drive_c/YHLOG/*.txt

# The suite, then each fuzz target for a few seconds (they keep compiling and
# their seeds keep passing), then the Windows build's checks under Wine.
check: build
	ctest --preset default -j $(JOBS)
	$(MAKE) fuzz-smoke
	$(MAKE) check-windows

# The Debian package (CPack) into build/package, beside the Windows packages.
package: build windows-package
	cpack --config build/default/CPackConfig.cmake -B $(CURDIR)/$(PACKAGE_DIR)
	rm -rf $(PACKAGE_DIR)/_CPack_Packages

check-asan: build-asan
	ctest --preset asan -j $(JOBS)

# Every benchmark beside its anchor (the bare operation it is measured
# against) from the same run: the median of BENCH_REPETITIONS repetitions, as
# a markdown table; the live progress goes to standard error.
BENCH_REPETITIONS ?= 3
bench: build
	python3 scripts/bench_report.py --repetitions $(BENCH_REPETITIONS) $(DEFAULT_BIN)/kavrolin_bench

# The large stress run: 8 writer processes x 5,000 operations, and rounds
# that kill writers at random; prints its figures. Runs in a fresh folder.
STRESS_PROCESSES ?= 8
STRESS_OPERATIONS ?= 5000
stress: build
	@d="$$(mktemp -d)" && cd "$$d" && KAVROLIN_STRESS_PROCESSES=$(STRESS_PROCESSES) \
	  KAVROLIN_STRESS_OPERATIONS=$(STRESS_OPERATIONS) $(CURDIR)/$(DEFAULT_BIN)/kavrolin_stress_tests; \
	  rc=$$?; rmdir "$$d"; exit $$rc

# libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) in
# build/fuzz: `make fuzz` runs each for FUZZ_SECONDS; `make fuzz-smoke` (part
# of `make check`) runs each for a few seconds. ccache is used when present.
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 3
FUZZ_DIR := build/fuzz
FUZZ_TARGETS := $(patsubst fuzz/%.cpp,%,$(wildcard fuzz/*_fuzz.cpp))
FUZZ_LAUNCHER := $(shell command -v ccache 2>/dev/null)
build-fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKAVROLIN_BUILD_FUZZ=ON \
	  -DCMAKE_C_COMPILER_LAUNCHER=$(FUZZ_LAUNCHER) -DCMAKE_CXX_COMPILER_LAUNCHER=$(FUZZ_LAUNCHER) \
	  -DKAVROLIN_SANITIZE=ON -DKAVROLIN_BUILD_TESTS=OFF -DKAVROLIN_BUILD_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(FUZZ_TARGETS)

fuzz: build-fuzz
	scripts/run-fuzz.sh $(FUZZ_DIR)/bin $(FUZZ_SECONDS) $(FUZZ_TARGETS)

fuzz-smoke: build-fuzz
	scripts/run-fuzz.sh $(FUZZ_DIR)/bin $(FUZZ_SMOKE_SECONDS) $(FUZZ_TARGETS)

# Line coverage of src/ by the whole test suite (gcc --coverage, lcov).
COVERAGE_DIR := build/coverage
coverage: deps
	cmake -S . -B $(COVERAGE_DIR) -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage \
	  -DCMAKE_SHARED_LINKER_FLAGS=--coverage -DKAVROLIN_BUILD_BENCH=OFF
	cmake --build $(COVERAGE_DIR) -j $(JOBS)
	lcov --quiet --zerocounters --directory $(COVERAGE_DIR)
	-ctest --test-dir $(COVERAGE_DIR) -j $(JOBS) --timeout 300 --output-on-failure
	lcov --quiet --capture --directory $(COVERAGE_DIR) --output-file $(COVERAGE_DIR)/all.info
	lcov --quiet --extract $(COVERAGE_DIR)/all.info "$(CURDIR)/src/*" --output-file $(COVERAGE_DIR)/src.info
	lcov --list $(COVERAGE_DIR)/src.info
	lcov --summary $(COVERAGE_DIR)/src.info

clean:
	rm -rf build
