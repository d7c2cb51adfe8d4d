# make run   installs what is missing, builds and opens Spring Lattice
# make test  installs what is missing, builds and runs every test
# make bench builds and runs the benchmarks
PRESET ?= release
BUILD := build/$(PRESET)

.PHONY: all deps build run test bench clean

all: build

deps:
	@tools/install-deps

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

run: build
	$(BUILD)/app/springlattice

test: build
	ctest --preset $(PRESET)

bench: build
	$(BUILD)/bench/springlattice-bench

clean:
	rm -rf build
