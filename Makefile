# Each command first installs what it needs and is missing (tools/install-deps
# with its set of tools/packages.txt), and no more.
# make run       builds the program alone, build/program/app/springlattice, and opens it
# make web       builds the page, build/web/springlattice.html (emscripten)
# make run-web   builds the page and opens it in the default browser
# make site      builds build/site: the page as an app to publish on a web server
# make package   builds the .deb, build/program/springlattice_<version>_<arch>.deb
# make bench     builds and runs the benchmarks (build/bench)
# make bench-web measures the page in Chromium, Firefox and WebKit beside the window
# make test      installs everything, builds and runs every test: the core's
#                under node in the browser build, then all in the release build
#                and again under AddressSanitizer and UBSan
PRESET ?= release
BUILD := build/$(PRESET)

.PHONY: all deps configure build run web run-web site test bench bench-web package clean

all: build

deps:
	@tools/install-deps

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

# The program alone, in a build of its own without the tests and benchmarks,
# which the package is made from too.
PROGRAM := build/program/app/springlattice

run:
	@tools/install-deps run
	cmake --preset program
	cmake --build --preset program --target springlattice
	$(PROGRAM)

package:
	@tools/install-deps package
	cmake --preset program
	cmake --build --preset program --target package

# The page: one HTML file with the core inside, that fetches nothing.
PAGE := build/web/springlattice.html

web:
	@tools/install-deps web
	cmake --preset web
	cmake --build --preset web --target springlattice_page

# The site: the page with its manifest, icons and service worker.
site:
	@tools/install-deps site
	cmake --preset web
	cmake --build --preset web --target springlattice_site

run-web: web
	@echo "$(PAGE)"; \
	command -v xdg-open >/dev/null 2>&1 && xdg-open "$(PAGE)" 2>/dev/null || \
	{ command -v sensible-browser >/dev/null 2>&1 && sensible-browser "$(PAGE)"; } || \
	echo "No browser to open it with: open $(CURDIR)/$(PAGE) in one."

# The presets whose builds `make test` runs the tests in. The browser build
# comes first: the release build's tests of the page open the page and the
# site it builds, and then find nothing left to build.
TEST_PRESETS ?= web release asan

test: deps
	@set -e; for preset in $(TEST_PRESETS); do \
	    echo "== tests in the $$preset build"; \
	    if [ $$preset = web ] && ! command -v emcc >/dev/null 2>&1; then \
	        echo "SKIPPED: the browser build: emscripten is not installed (make test installs it)"; \
	        continue; \
	    fi; \
	    cmake --preset $$preset; \
	    cmake --build --preset $$preset; \
	    ctest --preset $$preset; \
	done

# The benchmarks, in a build of their own without the tests.
BENCH := build/bench/bench/springlattice-bench

bench:
	@tools/install-deps bench
	cmake --preset bench
	cmake --build --preset bench
	$(BENCH)

# The page in Chromium, Firefox and WebKit, next to the window offscreen in the same run.
bench-web:
	@tools/install-deps bench-web
	cmake --preset bench
	cmake --build --preset bench
	cmake --preset web
	cmake --build --preset web --target springlattice_page
	node bench/page.mjs $(PAGE) $(BENCH)

clean:
	rm -rf build
