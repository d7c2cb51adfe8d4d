# make run   installs what is missing, builds the program alone and opens it
# make web   builds the page, build/web/springlattice.html (emscripten)
# make run-web builds the page and opens it in the default browser
# make site  builds build/site: the page as an app to publish on a web server
# make test  installs what is missing, builds and runs every test: the core's
#            under node in the browser build, then all in the release build
#            and again under AddressSanitizer and UBSan
# make bench builds and runs the benchmarks
# make bench-web measures the page in Chromium, Firefox and WebKit beside the window
# make package builds the .deb, build/release/springlattice_<version>_<arch>.deb
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

# Only the program and its icon: the tests and benchmarks are left for
# `make test` and `make bench`.
run: configure
	cmake --build --preset $(PRESET) --target springlattice
	$(BUILD)/app/springlattice

# The page: one HTML file with the core inside, that fetches nothing.
PAGE := build/web/springlattice.html

web: deps
	cmake --preset web
	cmake --build --preset web --target springlattice_page

# The site: the page with its manifest, icons and service worker.
site: deps
	cmake --preset web
	cmake --build --preset web --target springlattice_site

run-web: web
	@echo "$(PAGE)"; \
	command -v xdg-open >/dev/null 2>&1 && xdg-open "$(PAGE)" 2>/dev/null || \
	{ command -v sensible-browser >/dev/null 2>&1 && sensible-browser "$(PAGE)"; } || \
	echo "No browser to open it with: open $(CURDIR)/$(PAGE) in one."

# The presets whose builds `make test` runs the tests in. The browser build
# comes first: the release build's tests of the page load the page it builds.
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

bench: build
	$(BUILD)/bench/springlattice-bench

# The page in Chromium, Firefox and WebKit, next to the window offscreen in the same run.
bench-web: build web
	node bench/page.mjs $(PAGE) $(BUILD)/bench/springlattice-bench

package: build
	cmake --build --preset $(PRESET) --target package

clean:
	rm -rf build
