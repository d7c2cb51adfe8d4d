# make run   installs what is missing, builds the program alone and opens it
# make test  installs what is missing, builds and runs every test, in the
#            release build and again under AddressSanitizer and UBSan
# make bench builds and runs the benchmarks
# make package builds the .deb, build/release/springlattice_<version>_<arch>.deb
PRESET ?= release
BUILD := build/$(PRESET)

.PHONY: all deps configure build run test bench package clean

all: build

deps:
	@tools/install-deps

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

# Only the program and its icon: the tests and benchmarks are left for
# `make test` and `make bench`.
run: configure
	cmake --build --preset $(PRESET) --target springlattice
	$(BUILD)/app/springlattice

# The presets whose builds `make test` runs the tests in.
TEST_PRESETS ?= release asan

test: deps
	@set -e; for preset in $(TEST_PRESETS); do \
	    echo "== tests in the $$preset build"; \
	    cmake --preset $$preset; \
	    cmake --build --preset $$preset; \
	    ctest --preset $$preset; \
	done

bench: build
	$(BUILD)/bench/springlattice-bench

package: build
	cmake --build --preset $(PRESET) --target package

clean:
	rm -rf build
