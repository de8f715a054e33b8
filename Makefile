# Thin entry points; CMake presets do the work.
JOBS ?= $(shell nproc)
DEFAULT_BIN := build/default/bin

.PHONY: deps build build-asan demo check check-asan bench clean windows

deps:
	@scripts/setup-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

# 32-bit Windows, cross-compiled with MinGW-w64 into build/mingw-i686.
windows: deps
	cmake --preset mingw-i686
	cmake --build --preset mingw-i686 -j $(JOBS)

# A sale of 12.34 against the terminal simulator, in a prefix of its own.
DEMO_DIR := build/demo
demo: build
	@rm -rf $(DEMO_DIR) && mkdir -p $(DEMO_DIR)/pos
	@cd $(DEMO_DIR)/pos && KAVROLIN_PREFIX=$(CURDIR)/$(DEMO_DIR)/prefix \
	  ../../default/bin/kavrolin sale 12.34 --invoice 1 --cashier 01 --register A1; \
	  echo "exit: $$?"
	@echo "journal lines:"
	@iconv -f CP936 -t UTF-8 $(DEMO_DIR)/prefix/drive_c/YHLOG/*.txt

check: build
	ctest --preset default -j $(JOBS)

check-asan: build-asan
	ctest --preset asan -j $(JOBS)

bench: build
	$(DEFAULT_BIN)/kavrolin_bench

clean:
	rm -rf build

# The two client tests of Kavrolin.dll under Wine (tests/windows): the script
# host and the early-bound client, after regsvr32 in the private prefix that
# check-windows makes.
# Where Wine cannot run 32-bit programs (a kernel without 32-bit emulation):
#   make check-windows-clients WINDOWS_BUILD=build/mingw-x86_64 WINE=/usr/lib/wine/wine64
WINDOWS_BUILD ?= build/mingw-i686
WINE_PREFIX ?= $(WINDOWS_BUILD)/wineprefix
WINE ?= wine
.PHONY: check-windows-clients
check-windows-clients:
	tests/windows/run_clients.sh $(WINDOWS_BUILD)/bin $(CURDIR)/$(WINE_PREFIX) $(WINE)
