# Thin entry points; CMake presets do the work.
JOBS ?= $(shell nproc)
DEFAULT_BIN := build/default/bin

.PHONY: deps build build-asan demo check check-asan bench clean

deps:
	@scripts/setup-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

demo: build
	$(DEFAULT_BIN)/kavrolin --help

check: build
	ctest --preset default -j $(JOBS)

check-asan: build-asan
	ctest --preset asan -j $(JOBS)

bench: build
	$(DEFAULT_BIN)/kavrolin_bench

clean:
	rm -rf build
