# Thin entry points; CMake presets do the work.
JOBS ?= $(shell nproc)
DEFAULT_BIN := build/default/bin

.PHONY: deps build build-asan demo check check-asan bench stress clean

deps:
	@scripts/setup-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

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

# The large stress run: 8 writer processes x 5,000 operations, and rounds
# that kill writers at random; prints its figures. Runs in a fresh folder.
STRESS_PROCESSES ?= 8
STRESS_OPERATIONS ?= 5000
stress: build
	@d="$$(mktemp -d)" && cd "$$d" && KAVROLIN_STRESS_PROCESSES=$(STRESS_PROCESSES) \
	  KAVROLIN_STRESS_OPERATIONS=$(STRESS_OPERATIONS) $(CURDIR)/$(DEFAULT_BIN)/kavrolin_stress_tests; \
	  rc=$$?; rmdir "$$d"; exit $$rc

clean:
	rm -rf build
